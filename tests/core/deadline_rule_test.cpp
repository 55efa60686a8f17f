#include "register/core/deadlines/deadline_rule.h"

#include <gtest/gtest.h>

namespace quorva {
namespace {

const CivilDate kToday{2026, 12, 8};

TEST(DeadlineRule, TheUrgencyCountsDaysFromReceiptWithWeekendsAndAnOwnDeadlineWins)
{
    const DeadlineDays usual;
    const DeadlineDays noUrgentDays{{1, 0, 5}};
    const struct {
        const char* swrq;
        const char* jjcd;
        const char* own;
        DeadlineDays days;
        const char* deadline;
    } cases[] = {
        {"20261231", "特提", "", usual, "20270101"},
        {"20261204", "特急", "", usual, "20261207"},  // Friday: Saturday and Sunday count
        {"20280225", " 加急 ", "", usual, "20280301"},  // blanks around it; 29 February
        {"20261204", "平急", "", usual, ""},
        {"20261204", "", "", usual, ""},
        {"20261204", "特急", "", noUrgentDays, ""},
        {"2026-12-04", "特急", "", usual, ""},
        {"20261204", "平急", "20261130", usual, "20261130"},
        {"", "", "20261130", usual, "20261130"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeadlineText(RecordDeadline(ParseCompactDate(c.own), c.swrq, c.jjcd, c.days)), c.deadline)
            << c.swrq << " " << c.jjcd << " " << c.own;
    }
}

TEST(DeadlineRule, OnlyUnfinishedRecordsStandOutAroundTheirDeadline)
{
    const struct {
        std::optional<CivilDate> deadline;
        bool finished;
        DeadlineState state;
    } cases[] = {
        {CivilDate{2026, 12, 7}, false, DeadlineState::Overdue},
        {CivilDate{2026, 12, 8}, false, DeadlineState::DueSoon},
        {CivilDate{2026, 12, 10}, false, DeadlineState::DueSoon},
        {CivilDate{2026, 12, 11}, false, DeadlineState::Normal},
        {CivilDate{2026, 12, 7}, true, DeadlineState::Normal},
        {std::nullopt, false, DeadlineState::Normal},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StateOf(c.deadline, c.finished, kToday), c.state) << DeadlineText(c.deadline) << c.finished;
    }
}

}  // namespace
}  // namespace quorva

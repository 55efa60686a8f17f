#include "register/core/deadlines/deadline_rule.h"

namespace quorva {

namespace {

// A scanned or typed urgency may carry blanks around it.
std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<int> DaysFor(const std::string& jjcd, const DeadlineDays& days)
{
    const std::string urgency = Trimmed(jjcd);
    for (std::size_t i = 0; i < kTimedUrgencies.size(); ++i) {
        if (urgency == kTimedUrgencies[i] && days.days[i] > 0) return days.days[i];
    }
    return std::nullopt;
}

}  // namespace

std::optional<CivilDate> DerivedDeadline(const std::string& swrq, const std::string& jjcd, const DeadlineDays& days)
{
    const std::optional<int> count = DaysFor(jjcd, days);
    if (!count) return std::nullopt;
    const std::optional<CivilDate> received = ParseCompactDate(swrq);
    if (!received) return std::nullopt;
    return CivilDate::FromDayNumber(received->DayNumber() + *count);
}

std::optional<CivilDate> RecordDeadline(const std::optional<CivilDate>& own, const std::string& swrq,
                                        const std::string& jjcd, const DeadlineDays& days)
{
    return own ? own : DerivedDeadline(swrq, jjcd, days);
}

DeadlineState StateOf(const std::optional<CivilDate>& deadline, bool finished, const CivilDate& today)
{
    if (finished || !deadline) return DeadlineState::Normal;
    const std::int64_t daysLeft = deadline->DayNumber() - today.DayNumber();
    if (daysLeft < 0) return DeadlineState::Overdue;
    return daysLeft <= kDueSoonDays ? DeadlineState::DueSoon : DeadlineState::Normal;
}

std::string DeadlineText(const std::optional<CivilDate>& deadline)
{
    return deadline ? deadline->ToCompact() : std::string();
}

}  // namespace quorva

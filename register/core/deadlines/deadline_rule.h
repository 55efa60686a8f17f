#pragma once

#include <array>
#include <optional>
#include <string>

#include "register/core/text/civil_date.h"

// When a received document is due and how it stands today. Pure rules, so
// the list, its filter, the status bar and the statistics all count alike.
namespace quorva {

// The urgencies (紧急程度) that give a document a deadline, in the order of
// their day counts. 平急, an empty urgency and any other text give none.
inline constexpr std::array<const char*, 3> kTimedUrgencies = {"特提", "特急", "加急"};

// Days from 收文日期 to the deadline for each timed urgency. Weekends and
// holidays count as days; 0 gives no deadline.
struct DeadlineDays {
    std::array<int, kTimedUrgencies.size()> days = {1, 3, 5};
};

// The deadline a document's urgency gives it, counted from its received
// date (yyyymmdd); nothing when the urgency gives none or the date is not
// one.
std::optional<CivilDate> DerivedDeadline(const std::string& swrq, const std::string& jjcd, const DeadlineDays& days);

// A deadline of the record's own wins over the derived one.
std::optional<CivilDate> RecordDeadline(const std::optional<CivilDate>& own, const std::string& swrq,
                                        const std::string& jjcd, const DeadlineDays& days);

// An unfinished document is due soon from this many days before its
// deadline up to the deadline itself.
inline constexpr int kDueSoonDays = 2;

enum class DeadlineState { Normal, DueSoon, Overdue };

// Finished documents and those without a deadline are normal; an unfinished
// one is overdue once its deadline has passed.
DeadlineState StateOf(const std::optional<CivilDate>& deadline, bool finished, const CivilDate& today);

inline bool IsOverdue(const std::optional<CivilDate>& deadline, bool finished, const CivilDate& today)
{
    return StateOf(deadline, finished, today) == DeadlineState::Overdue;
}

// How a deadline is shown, stored and searched: yyyymmdd, empty for none.
std::string DeadlineText(const std::optional<CivilDate>& deadline);

}  // namespace quorva

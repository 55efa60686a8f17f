#pragma once

#include <string>

#include "register/core/text/civil_date.h"

// The stretch of 收文日期 a count covers: a calendar year, a calendar month,
// or any range of days.
namespace quorva {

enum class PeriodKind { Year, Month, Range };

struct StatisticsPeriod {
    PeriodKind kind = PeriodKind::Year;
    // A year or a month takes the one holding `from`; a range runs from
    // `from` to `to`, both days included, whichever way round they were
    // picked.
    CivilDate from;
    CivilDate to;
};

// The first and last day of the period as stored dates, "yyyymmdd".
struct DateBounds {
    std::string first;
    std::string last;
};
DateBounds BoundsOf(const StatisticsPeriod& period);

// "2026年", "2026年3月" or "2026年3月1日至2026年5月31日".
std::string PeriodText(const StatisticsPeriod& period);

}  // namespace quorva

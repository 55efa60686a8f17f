#include "register/core/statistics/statistics_period.h"

#include <utility>

namespace quorva {

namespace {

constexpr int kLastMonth = 12;

int DaysInMonth(int year, int month)
{
    int day = 31;
    while (!CivilDate::IsValid(year, month, day)) --day;
    return day;
}

std::string DayText(const CivilDate& date)
{
    return std::to_string(date.year) + "年" + std::to_string(date.month) + "月" + std::to_string(date.day) + "日";
}

std::pair<CivilDate, CivilDate> Ordered(const CivilDate& a, const CivilDate& b)
{
    if (b.DayNumber() < a.DayNumber()) return {b, a};
    return {a, b};
}

}  // namespace

DateBounds BoundsOf(const StatisticsPeriod& period)
{
    const CivilDate& from = period.from;
    switch (period.kind) {
    case PeriodKind::Year:
        return {CivilDate{from.year, 1, 1}.ToCompact(), CivilDate{from.year, kLastMonth, 31}.ToCompact()};
    case PeriodKind::Month:
        return {CivilDate{from.year, from.month, 1}.ToCompact(),
                CivilDate{from.year, from.month, DaysInMonth(from.year, from.month)}.ToCompact()};
    case PeriodKind::Range:
        break;
    }
    const auto [first, last] = Ordered(period.from, period.to);
    return {first.ToCompact(), last.ToCompact()};
}

std::string PeriodText(const StatisticsPeriod& period)
{
    const std::string year = std::to_string(period.from.year) + "年";
    switch (period.kind) {
    case PeriodKind::Year: return year;
    case PeriodKind::Month: return year + std::to_string(period.from.month) + "月";
    case PeriodKind::Range: break;
    }
    const auto [first, last] = Ordered(period.from, period.to);
    return DayText(first) + "至" + DayText(last);
}

}  // namespace quorva

#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorva {

// A calendar date (proleptic Gregorian), enough for the day arithmetic of
// the recent-days filter and the yyyymmdd forms of stored dates.
struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;

    // Days since 1970-01-01, and back.
    std::int64_t DayNumber() const;
    static CivilDate FromDayNumber(std::int64_t dayNumber);
    static bool IsValid(int year, int month, int day);
    // Eight digits "yyyymmdd".
    std::string ToCompact() const;
};

// Characters 1-4, 5-6 and 7-8 as year, month and day; nothing when they do
// not make a valid date.
std::optional<CivilDate> ParseCompactDate(const std::string& text);

}  // namespace quorva

#include "register/core/entry/number_counters.h"

#include <algorithm>
#include <optional>

#include "register/core/entry/number_advance.h"
#include "register/core/entry/yearly_numbering.h"

namespace quorva {

std::optional<int> ParseNumberYear(const std::string& text)
{
    constexpr long long kLastYear = 9999;
    long long year = 0;
    if (!ParseWholeNumber(text, year) || year < 1 || year > kLastYear) return std::nullopt;
    return static_cast<int>(year);
}

namespace {

std::optional<int> NumberYear(const Settings& settings)
{
    return ParseNumberYear(settings.ReadText(keys::kNumberYear, ""));
}

}  // namespace

std::string NextNumber(const std::string& last, bool yearly, const std::optional<int>& lastYear, int year)
{
    if (last.empty()) return "";
    // Without a year on record there is no telling a new year from the old.
    if (!yearly || !lastYear) return AdvanceNumber(last).value_or("");
    return NextNumberInYear(last, *lastYear, year).value_or("");
}

std::string ProposedNumber(const std::string& last, const Settings& settings, const CivilDate& received)
{
    return NextNumber(last, settings.ReadBool(keys::kYearlyNumbering, false), NumberYear(settings), received.year);
}

void RecordNumbers(Settings& settings, const std::string& receipt, const std::optional<std::string>& handling,
                   const CivilDate& received)
{
    settings.WriteText(keys::kReceiptNumber, receipt);
    if (handling) settings.WriteText(keys::kHandlingNumber, *handling);
    const int year = std::max(NumberYear(settings).value_or(received.year), received.year);
    settings.WriteText(keys::kNumberYear, std::to_string(year));
}

}  // namespace quorva

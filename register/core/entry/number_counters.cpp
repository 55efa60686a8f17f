#include "register/core/entry/number_counters.h"

#include <algorithm>
#include <optional>

#include "register/core/entry/number_advance.h"
#include "register/core/entry/yearly_numbering.h"

namespace quorva {

namespace {

std::optional<int> NumberYear(const Settings& settings)
{
    constexpr long long kLastYear = 9999;
    long long year = 0;
    if (!ParseWholeNumber(settings.ReadText(keys::kNumberYear, ""), year) || year < 1 || year > kLastYear) {
        return std::nullopt;
    }
    return static_cast<int>(year);
}

}  // namespace

std::string ProposedNumber(const std::string& last, const Settings& settings, const CivilDate& received)
{
    if (last.empty()) return "";
    const std::optional<int> lastYear = NumberYear(settings);
    // Without a year on record there is no telling a new year from the old.
    if (!settings.ReadBool(keys::kYearlyNumbering, false) || !lastYear) return AdvanceNumber(last).value_or("");
    return NextNumberInYear(last, *lastYear, received.year).value_or("");
}

void RecordNumbers(Settings& settings, const std::string& receipt, const std::string& handling,
                   const CivilDate& received)
{
    settings.WriteText(keys::kReceiptNumber, receipt);
    settings.WriteText(keys::kHandlingNumber, handling);
    const int year = std::max(NumberYear(settings).value_or(received.year), received.year);
    settings.WriteText(keys::kNumberYear, std::to_string(year));
}

}  // namespace quorva

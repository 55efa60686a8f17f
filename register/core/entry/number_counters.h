#pragma once

#include <string>

#include "register/core/shell/settings.h"
#include "register/core/text/civil_date.h"

// The receipt and handling counters of the settings file (SHao, BHao) and
// the year their sequence belongs to.
namespace quorva {

namespace keys {
// "每年重新编号": off unless ticked.
inline constexpr const char* kYearlyNumbering = "HaoMeiNian";
// The year the last registration was received in.
inline constexpr const char* kNumberYear = "HaoNian";
}  // namespace keys

inline constexpr const char* kYearlyNumberingCaption = "每年重新编号";

// The number to propose after `last`, a counter's last number, for a
// registration received on `received`; empty when there is none.
std::string ProposedNumber(const std::string& last, const Settings& settings, const CivilDate& received);

// After a registration: its numbers become the counters, and the numbering
// year moves on to the year it was received in (never back).
void RecordNumbers(Settings& settings, const std::string& receipt, const std::string& handling,
                   const CivilDate& received);

}  // namespace quorva

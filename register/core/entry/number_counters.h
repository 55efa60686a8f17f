#pragma once

#include <optional>
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
// The same where the numbering year is kept elsewhere (on a server).
std::string NextNumber(const std::string& last, bool yearly, const std::optional<int>& lastYear, int year);
// A numbering year as stored; nothing for no readable year.
std::optional<int> ParseNumberYear(const std::string& text);

// After a registration: its numbers become the counters, and the numbering
// year moves on to the year it was received in (never back). No handling
// number leaves its counter as it was.
void RecordNumbers(Settings& settings, const std::string& receipt, const std::optional<std::string>& handling,
                   const CivilDate& received);

}  // namespace quorva

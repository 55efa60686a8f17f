#pragma once

#include <string>

#include "register/core/deadlines/deadline_rule.h"
#include "register/core/shell/settings.h"

// The day counts of the timed urgencies, set in 高级设置.
namespace quorva {

namespace keys {
// Beside each other in kTimedUrgencies' order: 特提, 特急, 加急.
inline constexpr std::array<const char*, kTimedUrgencies.size()> kDeadlineDays = {"SXtt", "SXtj", "SXjj"};
}  // namespace keys

inline constexpr const char* kDeadlineDaysHelp =
    "办理时限自收文日期起算，周末和节假日计入天数；天数留空或为0表示该紧急程度不设办理时限。";

// A missing key gives the usual count; an empty or 0 one none.
DeadlineDays ReadDeadlineDays(const Settings& settings);
void WriteDeadlineDays(Settings& settings, const DeadlineDays& days);

// A day count as its box shows it, empty for none, and back.
std::string DeadlineDaysText(int days);
int DeadlineDaysFrom(const std::string& text);

}  // namespace quorva

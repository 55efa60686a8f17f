#pragma once

#include <optional>
#include <string>

namespace quorva {

// The next number after a counter such as "SW2026-015": its trailing run of
// ASCII digits plus one, zero-padded to the run's width, behind the same
// prefix. Nothing when the text does not end in digits or the run does not
// fit a signed 64-bit integer.
std::optional<std::string> AdvanceNumber(const std::string& counter);

}  // namespace quorva

#pragma once

#include <optional>
#include <string>

// Receipt and handling numbers whose sequence starts again at 1 each year.
// Pure rules of the numbers alone; where the counters are kept is not theirs.
namespace quorva {

// The number proposed after `last`, the number of the last registration,
// which was received in `lastYear`, for a registration received in `year`:
// the next of the sequence within a year, the sequence restarted in a later
// one. Nothing when no number can be made of `last`.
std::optional<std::string> NextNumberInYear(const std::string& last, int lastYear, int year);

// `last` with its sequence back at 1 and its year moved on: the last run of
// ASCII digits that is not the year becomes 1, zero-padded to the run's
// width when the run was written with leading zeros; a four-digit `lastYear`
// in the number, standing alone or leading that run, becomes `year`; every
// other character stays. "SW-2026-0041" gives "SW-2027-0001", "收〔2026〕41号"
// "收〔2027〕1号" and "SW0041" "SW0001". Nothing when `last` has no digits.
std::optional<std::string> RestartNumber(const std::string& last, int lastYear, int year);

}  // namespace quorva

#include "register/core/entry/number_advance.h"

#include <cstdint>
#include <limits>

namespace quorva {

std::optional<std::string> AdvanceNumber(const std::string& counter)
{
    std::size_t start = counter.size();
    while (start > 0 && counter[start - 1] >= '0' && counter[start - 1] <= '9') --start;
    const std::string digits = counter.substr(start);
    if (digits.empty()) return std::nullopt;

    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (char digit : digits) {
        const int d = digit - '0';
        if (value > (kMax - d) / 10) return std::nullopt;
        value = value * 10 + d;
    }
    // The run was read; one more may not fit either.
    if (value == kMax) return std::nullopt;
    std::string next = std::to_string(value + 1);
    if (next.size() < digits.size()) next.insert(0, digits.size() - next.size(), '0');
    return counter.substr(0, start) + next;
}

}  // namespace quorva

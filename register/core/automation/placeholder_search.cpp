#include "register/core/automation/placeholder_search.h"

namespace quorva {

namespace {

constexpr char kPlaceholderMark = '$';

bool IsDroppedControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7F;
}

}  // namespace

std::vector<PlaceholderMatch> FindPlaceholders(std::string_view text, const std::vector<PlaceholderFill>& fills)
{
    std::vector<PlaceholderMatch> matches;
    std::size_t at = text.find(kPlaceholderMark);
    while (at != std::string_view::npos) {
        std::size_t next = at + 1;
        for (std::size_t i = 0; i < fills.size(); ++i) {
            const std::string& placeholder = fills[i].placeholder;
            if (text.compare(at, placeholder.size(), placeholder) != 0) continue;
            matches.push_back(PlaceholderMatch{at, at + placeholder.size(), i});
            next = at + placeholder.size();
            break;
        }
        at = text.find(kPlaceholderMark, next);
    }
    return matches;
}

std::vector<std::string> ValueLines(std::string_view value)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else if (!IsDroppedControl(c)) {
            lines.back() += c;
        }
    }
    return lines;
}

}  // namespace quorva

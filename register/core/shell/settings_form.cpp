#include "register/core/shell/settings_form.h"

#include <algorithm>
#include <cctype>

namespace quorva {

namespace {

constexpr char16_t kBackspace = 8;

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string AsciiUpper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

}  // namespace

bool IsFileNameKeyAccepted(char16_t key)
{
    return key == kBackspace || key == u'-' || key == u'.' || key == u'_' || (key >= u'0' && key <= u'9') ||
           (key >= u'A' && key <= u'Z') || (key >= u'a' && key <= u'z');
}

std::optional<std::string> DatabaseFileNameFrom(const std::string& typed)
{
    const auto first = std::find_if_not(typed.begin(), typed.end(), IsBlank);
    const auto last = std::find_if_not(typed.rbegin(), typed.rend(), IsBlank).base();
    if (first >= last) return std::nullopt;
    const std::string name(first, last);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && AsciiUpper(name.substr(dot)) == AsciiUpper(kDatabaseExtension)) return name;
    return name + kDatabaseExtension;
}

}  // namespace quorva

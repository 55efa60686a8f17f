#include "register/core/shell/settings.h"

#include <cerrno>
#include <cstdlib>

#include "register/core/text/text_encoding.h"

namespace quorva {

namespace {

const char* const kTrue = "1";
const char* const kFalse = "0";

// Cuts after kMaxSettingLength UTF-16 units, never inside a character.
std::string Truncate(const std::string& text)
{
    std::u16string wide = Utf8ToUtf16(text);
    if (wide.size() <= static_cast<std::size_t>(kMaxSettingLength)) return text;
    std::size_t cut = kMaxSettingLength;
    if (wide[cut - 1] >= 0xD800 && wide[cut - 1] <= 0xDBFF) --cut;
    wide.resize(cut);
    return Utf16ToUtf8(wide);
}

}  // namespace

bool ParseWholeNumber(const std::string& text, long long& value)
{
    if (text.empty()) return false;
    std::size_t digits = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (digits == text.size()) return false;
    for (std::size_t i = digits; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    errno = 0;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0;
}

bool Settings::ReadBool(const char* key, bool fallback) const
{
    long long number = 0;
    if (!ParseWholeNumber(store_.Read(path_, kSettingsSection, key, ""), number)) return fallback;
    return number != 0;
}

void Settings::WriteBool(const char* key, bool value)
{
    store_.Write(path_, kSettingsSection, key, value ? kTrue : kFalse);
}

std::string Settings::ReadText(const char* key, const std::string& fallback) const
{
    return Truncate(store_.Read(path_, kSettingsSection, key, fallback));
}

void Settings::WriteText(const char* key, const std::string& value)
{
    store_.Write(path_, kSettingsSection, key, value);
}

}  // namespace quorva

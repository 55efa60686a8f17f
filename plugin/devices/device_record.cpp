#include "plugin/devices/device_record.h"

#include <cstring>

namespace pellion {
namespace {

// One wide character in the process code page; empty when it has no form.
std::string Narrow(wchar_t character)
{
    char bytes[8];
    const int length = ::WideCharToMultiByte(CP_ACP, 0, &character, 1, bytes, sizeof bytes, nullptr, nullptr);
    return std::string(bytes, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

std::string SerialText(const wchar_t (&serial)[kSerialCapacity], std::size_t fromIndex, std::size_t maxBytes)
{
    std::string text;
    // The device fills the field without a terminator when the string is
    // exactly as long as the field, so the field bounds the walk as well.
    for (std::size_t i = fromIndex; i < kSerialCapacity && serial[i] != L'\0'; ++i) {
        const std::string character = Narrow(serial[i]);
        if (text.size() + character.size() > maxBytes)
            break;
        text += character;
    }
    return text;
}

void CopyBounded(char* field, std::size_t fieldSize, const std::string& text)
{
    if (fieldSize == 0)
        return;
    const std::size_t length = text.size() < fieldSize - 1 ? text.size() : fieldSize - 1;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace pellion

// GB18030 conversion on Windows, through the system's code page 54936.
#include <windows.h>

#include <stdexcept>

#include "register/core/text_encoding.h"

namespace {

constexpr UINT kCodePageGb18030 = 54936;

}  // namespace

std::wstring Widen(std::string_view utf8)
{
    const std::u16string wide = Utf8ToUtf16(utf8);
    return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(std::wstring_view utf16)
{
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size()));
}

std::string Utf8ToGb18030(std::string_view utf8)
{
    const std::wstring wide = Widen(utf8);
    if (wide.empty()) return std::string();
    const int wideLength = static_cast<int>(wide.size());
    // Code page 54936 takes no flags and no default character.
    const int size = WideCharToMultiByte(kCodePageGb18030, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0) throw std::runtime_error("GB18030 conversion is not available");
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(kCodePageGb18030, 0, wide.data(), wideLength, out.data(), size, nullptr, nullptr);
    return out;
}

std::string Gb18030ToUtf8(std::string_view gb18030)
{
    if (gb18030.empty()) return std::string();
    const int length = static_cast<int>(gb18030.size());
    const int size = MultiByteToWideChar(kCodePageGb18030, 0, gb18030.data(), length, nullptr, 0);
    if (size <= 0) throw std::runtime_error("GB18030 conversion is not available");
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(kCodePageGb18030, 0, gb18030.data(), length, wide.data(), size);
    return Narrow(wide);
}

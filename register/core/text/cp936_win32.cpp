// Code page 936 and UTF-16 on Windows.
#include <windows.h>

#include "register/core/text/gb18030_codec.h"
#include "register/core/text/text_encoding.h"

namespace {

constexpr UINT kCodePage936 = 936;

class WindowsCodePage936 final : public CodePage936 {
public:
    std::optional<char16_t> Decode(std::uint8_t lead, std::uint8_t trail) const override
    {
        const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        wchar_t out[2];
        if (MultiByteToWideChar(kCodePage936, MB_ERR_INVALID_CHARS, in, 2, out, 2) != 1) return std::nullopt;
        return static_cast<char16_t>(out[0]);
    }

    std::optional<std::uint16_t> Encode(char16_t character) const override
    {
        const wchar_t in = static_cast<wchar_t>(character);
        char out[4];
        BOOL usedDefault = FALSE;
        const int size = WideCharToMultiByte(kCodePage936, WC_NO_BEST_FIT_CHARS, &in, 1, out, sizeof out, nullptr,
                                             &usedDefault);
        if (size != 2 || usedDefault) return std::nullopt;
        return static_cast<std::uint16_t>(static_cast<std::uint8_t>(out[0]) << 8 | static_cast<std::uint8_t>(out[1]));
    }
};

}  // namespace

std::unique_ptr<CodePage936> OpenCodePage936()
{
    return std::make_unique<WindowsCodePage936>();
}

std::wstring Widen(std::string_view utf8)
{
    const std::u16string wide = Utf8ToUtf16(utf8);
    return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(std::wstring_view utf16)
{
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size()));
}

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "register/core/text/gb18030_codec.h"
#include "register/core/text/text_encoding.h"
#include "tests/fuzz/fuzz_property.h"

// Any bytes, as GB18030 and as UTF-16 text. Valid text encodes and decodes
// back to itself; whatever bytes decode to encodes and decodes to the same.
namespace {

// Private-use characters at scattered codes of code page 936, which Windows
// maps and the iconv of this native build does not.
bool OnlyWindowsMaps(char16_t unit) { return unit >= 0xE766 && unit <= 0xE864; }

bool IsValidText(const std::u16string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if ((unit >= 0xDC00 && unit <= 0xDFFF) || OnlyWindowsMaps(unit)) return false;
        if (unit >= 0xD800 && unit <= 0xDBFF && (++i == text.size() || text[i] < 0xDC00 || text[i] > 0xDFFF)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::unique_ptr<CodePage936> page = OpenCodePage936();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string decoded = DecodeGb18030(bytes, *page);
    Require(DecodeGb18030(EncodeGb18030(decoded, *page), *page) == decoded, "decoded text round-trips");
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (IsValidText(text)) Require(DecodeGb18030(EncodeGb18030(text, *page), *page) == text, "valid text round-trips");
    return 0;
}

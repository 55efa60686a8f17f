#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// GB18030 built on the platform's code page 936, which not every platform
// offers as GB18030 itself (Wine has no code page 54936). GB18030 is code
// page 936 plus a few more two-byte codes and a four-byte form for every
// other character, so the platform supplies the two-byte part and this codec
// the rest.
class CodePage936 {
public:
    virtual ~CodePage936() = default;
    // The character of a two-byte code, if code page 936 has one.
    virtual std::optional<char16_t> Decode(std::uint8_t lead, std::uint8_t trail) const = 0;
    // The two-byte code of a character, if code page 936 has one.
    virtual std::optional<std::uint16_t> Encode(char16_t character) const = 0;
};

std::string EncodeGb18030(std::u16string_view text, const CodePage936& codePage);
std::u16string DecodeGb18030(std::string_view bytes, const CodePage936& codePage);

// The platform's code page 936 for one conversion.
std::unique_ptr<CodePage936> OpenCodePage936();

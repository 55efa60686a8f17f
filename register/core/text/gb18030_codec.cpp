#include "register/core/text/gb18030_codec.h"

#include <algorithm>
#include <iterator>

#include "register/core/text/text_encoding.h"

namespace {

struct TwoByteEntry {
    char16_t unicode;
    std::uint16_t code;
};
struct FourByteRun {
    char16_t first;
    std::uint32_t linear;
};

#include "register/core/text/gb18030_tables.inc"

constexpr char16_t kReplacement = 0xFFFD;
constexpr char kUnmappable = '?';
constexpr std::uint32_t kSupplementaryLinearBase = 189000;  // the code 0x90308130
constexpr std::uint32_t kSupplementaryCount = 0x100000;
constexpr std::uint32_t kBytesPerLead = 12600;  // 10 * 126 * 10
constexpr std::uint32_t kBytesPerSecond = 1260;  // 126 * 10

bool IsLead(std::uint8_t b) { return b >= 0x81 && b <= 0xFE; }
bool IsDigit(std::uint8_t b) { return b >= 0x30 && b <= 0x39; }
bool IsTwoByteTrail(std::uint8_t b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }
bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendFourByte(std::string& out, std::uint32_t linear)
{
    out += static_cast<char>(0x81 + linear / kBytesPerLead);
    out += static_cast<char>(0x30 + linear / kBytesPerSecond % 10);
    out += static_cast<char>(0x81 + linear / 10 % 126);
    out += static_cast<char>(0x30 + linear % 10);
}

void AppendTwoByte(std::string& out, std::uint16_t code)
{
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// The run holding a BMP character, if it is written in four bytes.
std::optional<std::uint32_t> BmpLinear(char16_t character)
{
    const auto* end = std::end(kGb18030FourByteRuns);
    const auto* run = std::upper_bound(std::begin(kGb18030FourByteRuns), end, character,
                                       [](char16_t c, const FourByteRun& r) { return c < r.first; });
    if (run == std::begin(kGb18030FourByteRuns)) return std::nullopt;
    const FourByteRun& holder = *(run - 1);
    const std::uint32_t runLength = (run == end ? kGb18030BmpFourByteCount : run->linear) - holder.linear;
    const std::uint32_t offset = character - holder.first;
    if (offset >= runLength) return std::nullopt;
    return holder.linear + offset;
}

std::optional<char16_t> BmpFromLinear(std::uint32_t linear)
{
    if (linear >= kGb18030BmpFourByteCount) return std::nullopt;
    const auto* run = std::upper_bound(std::begin(kGb18030FourByteRuns), std::end(kGb18030FourByteRuns), linear,
                                       [](std::uint32_t l, const FourByteRun& r) { return l < r.linear; });
    const FourByteRun& holder = *(run - 1);
    return static_cast<char16_t>(holder.first + (linear - holder.linear));
}

std::optional<std::uint16_t> ExtraCode(char16_t character)
{
    const auto* end = std::end(kGb18030TwoByteExtras);
    const auto* entry = std::lower_bound(std::begin(kGb18030TwoByteExtras), end, character,
                                         [](const TwoByteEntry& e, char16_t c) { return e.unicode < c; });
    if (entry == end || entry->unicode != character) return std::nullopt;
    return entry->code;
}

std::optional<char16_t> ExtraCharacter(std::uint16_t code)
{
    for (const TwoByteEntry& entry : kGb18030TwoByteExtras) {
        if (entry.code == code) return entry.unicode;
    }
    return std::nullopt;
}

// GB18030's user-defined areas hold the private-use characters U+E000 to
// U+E765, where offices keep the rare characters of their people's names.
// Not every platform's code page 936 has them, so the codec knows them too.
struct UserDefinedArea {
    char16_t first;
    std::uint8_t firstLead;
    std::uint8_t lastLead;
    std::uint8_t firstTrail;
    std::uint8_t lastTrail;
};
constexpr UserDefinedArea kUserDefinedAreas[] = {
    {0xE000, 0xAA, 0xAF, 0xA1, 0xFE},
    {0xE234, 0xF8, 0xFE, 0xA1, 0xFE},
    {0xE4C6, 0xA1, 0xA7, 0x40, 0xA0},  // trails skip 0x7F
};
constexpr std::uint8_t kNoTrail = 0x7F;

std::uint32_t TrailsPerLead(const UserDefinedArea& area)
{
    const std::uint32_t span = area.lastTrail - area.firstTrail + 1u;
    return area.firstTrail < kNoTrail && kNoTrail < area.lastTrail ? span - 1 : span;
}

std::optional<std::uint16_t> UserDefinedCode(char16_t character)
{
    for (const UserDefinedArea& area : kUserDefinedAreas) {
        const std::uint32_t perLead = TrailsPerLead(area);
        const std::uint32_t index = static_cast<std::uint32_t>(character - area.first);
        if (character < area.first || index >= perLead * (area.lastLead - area.firstLead + 1u)) continue;
        std::uint32_t trail = area.firstTrail + index % perLead;
        if (area.firstTrail < kNoTrail && trail >= kNoTrail) ++trail;
        return static_cast<std::uint16_t>((area.firstLead + index / perLead) << 8 | trail);
    }
    return std::nullopt;
}

std::optional<char16_t> UserDefinedCharacter(std::uint8_t lead, std::uint8_t trail)
{
    for (const UserDefinedArea& area : kUserDefinedAreas) {
        if (lead < area.firstLead || lead > area.lastLead || trail < area.firstTrail || trail > area.lastTrail) continue;
        const std::uint32_t column = trail - area.firstTrail - (area.firstTrail < kNoTrail && trail > kNoTrail ? 1u : 0u);
        return static_cast<char16_t>(area.first + (lead - area.firstLead) * TrailsPerLead(area) + column);
    }
    return std::nullopt;
}

void EncodeBmp(std::string& out, char16_t character, const CodePage936& codePage)
{
    if (character < 0x80) {
        out += static_cast<char>(character);
    } else if (auto extra = ExtraCode(character)) {
        AppendTwoByte(out, *extra);
    } else if (auto code = codePage.Encode(character)) {
        AppendTwoByte(out, *code);
    } else if (auto linear = BmpLinear(character)) {
        AppendFourByte(out, *linear);
    } else if (auto userDefined = UserDefinedCode(character)) {
        AppendTwoByte(out, *userDefined);
    } else {
        out += kUnmappable;
    }
}

void AppendCodePoint(std::u16string& out, std::uint32_t cp)
{
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
        return;
    }
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
}

// Decodes the sequence at bytes[pos]; returns how many bytes it took.
std::size_t DecodeOne(std::string_view bytes, std::size_t pos, const CodePage936& codePage, std::u16string& out)
{
    const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[pos + i]); };
    const std::size_t left = bytes.size() - pos;
    const std::uint8_t lead = at(0);
    if (lead < 0x80) {
        out += static_cast<char16_t>(lead);
        return 1;
    }
    if (!IsLead(lead) || left < 2) {
        out += kReplacement;
        return 1;
    }
    if (IsDigit(at(1))) {
        if (left < 4 || !IsLead(at(2)) || !IsDigit(at(3))) {
            out += kReplacement;
            return 1;
        }
        const std::uint32_t linear =
            (lead - 0x81) * kBytesPerLead + (at(1) - 0x30) * kBytesPerSecond + (at(2) - 0x81) * 10 + (at(3) - 0x30);
        if (auto bmp = BmpFromLinear(linear)) {
            out += *bmp;
        } else if (linear >= kSupplementaryLinearBase && linear < kSupplementaryLinearBase + kSupplementaryCount) {
            AppendCodePoint(out, 0x10000 + (linear - kSupplementaryLinearBase));
        } else {
            out += kReplacement;
        }
        return 4;
    }
    if (!IsTwoByteTrail(at(1))) {
        out += kReplacement;
        return 1;
    }
    const auto code = static_cast<std::uint16_t>(lead << 8 | at(1));
    if (auto extra = ExtraCharacter(code)) {
        out += *extra;
    } else if (auto character = codePage.Decode(lead, at(1))) {
        out += *character;
    } else if (auto userDefined = UserDefinedCharacter(lead, at(1))) {
        out += *userDefined;
    } else {
        out += kReplacement;
    }
    return 2;
}

}  // namespace

std::string EncodeGb18030(std::u16string_view text, const CodePage936& codePage)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const std::uint32_t cp = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            AppendFourByte(out, kSupplementaryLinearBase + (cp - 0x10000));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            out += kUnmappable;
        } else {
            EncodeBmp(out, unit, codePage);
        }
    }
    return out;
}

std::u16string DecodeGb18030(std::string_view bytes, const CodePage936& codePage)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) pos += DecodeOne(bytes, pos, codePage, out);
    return out;
}

std::string Utf8ToGb18030(std::string_view utf8)
{
    return EncodeGb18030(Utf8ToUtf16(utf8), *OpenCodePage936());
}

std::string Gb18030ToUtf8(std::string_view gb18030)
{
    return Utf16ToUtf8(DecodeGb18030(gb18030, *OpenCodePage936()));
}

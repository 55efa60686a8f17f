#include "register/core/text/gb18030_codec.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <iconv.h>
#endif

namespace {

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
// Private-use characters at scattered codes of code page 936, which Windows
// maps and the iconv of the native tests does not.
bool OnlyWindowsMaps(char32_t c) { return c >= 0xE766 && c <= 0xE864; }

std::u16string Single(char32_t c)
{
    if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
    c -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

TEST(Gb18030Codec, EveryCharacterOfTheBasicPlaneRoundTrips)
{
    const auto codePage = OpenCodePage936();
    int failures = 0;
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (IsSurrogate(c) || OnlyWindowsMaps(c)) continue;
        const std::string bytes = EncodeGb18030(Single(c), *codePage);
        if (DecodeGb18030(bytes, *codePage) != Single(c) && ++failures < 10) ADD_FAILURE() << std::hex << c;
    }
    EXPECT_EQ(failures, 0);
}

TEST(Gb18030Codec, SupplementaryCharactersTakeTheFourByteForm)
{
    const auto codePage = OpenCodePage936();
    EXPECT_EQ(EncodeGb18030(Single(0x10000), *codePage), "\x90\x30\x81\x30");
    EXPECT_EQ(EncodeGb18030(Single(0x2000B), *codePage), "\x95\x32\x83\x37");
    EXPECT_EQ(EncodeGb18030(Single(0x10FFFF), *codePage), "\xE3\x32\x9A\x35");
    for (char32_t c : {0x10000u, 0x2000Bu, 0x2A6D6u, 0x10FFFFu}) {
        EXPECT_EQ(DecodeGb18030(EncodeGb18030(Single(c), *codePage), *codePage), Single(c));
    }
}

TEST(Gb18030Codec, CodesOutsideCodePage936AreTheStandardOnes)
{
    const auto codePage = OpenCodePage936();
    EXPECT_EQ(EncodeGb18030(u"䶮", *codePage), "\xFE\x9F");
    EXPECT_EQ(EncodeGb18030(u"€", *codePage), "\xA2\xE3");
    EXPECT_EQ(EncodeGb18030(u"\u00A5", *codePage), "\x81\x30\x84\x36");
}

TEST(Gb18030Codec, BrokenSequencesBecomeReplacementCharacters)
{
    const auto codePage = OpenCodePage936();
    EXPECT_EQ(DecodeGb18030("a\x81", *codePage), u"a\uFFFD");
    EXPECT_EQ(DecodeGb18030("\x81\x30\x81", *codePage), u"\uFFFD0\uFFFD");
    EXPECT_EQ(DecodeGb18030("\xFF" "b", *codePage), u"\uFFFDb");
    EXPECT_EQ(DecodeGb18030("\xFE\x39\xFE\x39", *codePage), u"\uFFFD");
    EXPECT_EQ(EncodeGb18030(std::u16string(1, char16_t(0xDC00)), *codePage), "?");
}

#ifndef _WIN32
bool IsPrivateUse(char32_t c) { return c >= 0xE000 && c <= 0xF8FF; }

// The system's own GB18030 (2005 edition) as the reference.
std::string SystemGb18030(const std::u16string& text)
{
    iconv_t cd = iconv_open("GB18030", "UTF-16LE");
    std::string in;
    for (char16_t u : text) {
        in += static_cast<char>(u & 0xFF);
        in += static_cast<char>(u >> 8);
    }
    char out[16];
    char* inPtr = in.data();
    char* outPtr = out;
    std::size_t inLeft = in.size();
    std::size_t outLeft = sizeof out;
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) return "<none>";
    return std::string(out, sizeof out - outLeft);
}

TEST(Gb18030Codec, AgreesWithTheSystemCodecOutsidePrivateUse)
{
    const auto codePage = OpenCodePage936();
    // Characters the 2005 edition moved; the codec keeps the 2000 edition's
    // codes, as Windows does.
    const auto moved = [](char32_t c) {
        return c == 0x1E3F || (c >= 0x9FB4 && c <= 0x9FBB) || (c >= 0xFE10 && c <= 0xFE19);
    };
    int failures = 0;
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (IsSurrogate(c) || IsPrivateUse(c) || moved(c)) continue;
        const std::string expected = SystemGb18030(Single(c));
        if (expected == "<none>") continue;
        if (EncodeGb18030(Single(c), *codePage) != expected && ++failures < 40) ADD_FAILURE() << std::hex << c;
    }
    EXPECT_EQ(failures, 0);
}
#endif

}  // namespace

#include "register/core/text/text_encoding.h"

#include <gtest/gtest.h>

namespace {

// "收文登记" as code page 936 stores it in an older pick-list file.
const std::string kCp936 = "\xCA\xD5\xCE\xC4\xB5\xC7\xBC\xC7";
const std::string kRare = "𠀋䶮";  // U+2000B (outside the BMP) and U+4DAE

TEST(TextEncoding, Cp936TextReadsUnchanged)
{
    EXPECT_EQ(Gb18030ToUtf8(kCp936), "收文登记");
    EXPECT_EQ(Gb18030ToUtf8("ABC 123"), "ABC 123");
}

TEST(TextEncoding, Cp936TextIsWrittenAsItWas)
{
    EXPECT_EQ(Utf8ToGb18030("收文登记"), kCp936);
}

TEST(TextEncoding, ARareCharacterSurvivesAWriteAndARead)
{
    const std::string written = Utf8ToGb18030("张" + kRare);
    EXPECT_EQ(written.find('?'), std::string::npos);
    EXPECT_EQ(Gb18030ToUtf8(written), "张" + kRare);
}

TEST(TextEncoding, Utf16KeepsCharactersOutsideTheBasicPlane)
{
    const std::u16string wide = Utf8ToUtf16(kRare);
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(wide[0], 0xD840);
    EXPECT_EQ(wide[1], 0xDC0B);
    EXPECT_EQ(wide[2], 0x4DAE);
    EXPECT_EQ(Utf16ToUtf8(wide), kRare);
}

TEST(TextEncoding, MalformedInputBecomesReplacementAndTheRestIsKept)
{
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("a\xFF" "b")), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("a\xE6\x96")), "a\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'x', char16_t(0xD800)}), "x\xEF\xBF\xBD");
    const std::string read = Gb18030ToUtf8("\xCA\xD5\xFF");
    EXPECT_EQ(read.substr(0, 3), "收");
    EXPECT_GT(read.size(), 3u);
}

TEST(TextEncoding, EmptyStaysEmpty)
{
    EXPECT_EQ(Utf8ToGb18030(""), "");
    EXPECT_EQ(Gb18030ToUtf8(""), "");
    EXPECT_TRUE(Utf8ToUtf16("").empty());
}

}  // namespace

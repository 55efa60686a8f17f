#include <gtest/gtest.h>

#include "register/core/barcode/document_barcode.h"

namespace {

using quorva::Column;
using quorva::ParseDocumentBarcode;

const char* const kStandard =
    "GB0626-2005^1100001234^市政府办公厅^通知^京政办发[2026]8号^各区人民政府^关于做好安全工作的通知^秘密5年^特急^"
    "2026-12-01^县团级^市委办公厅^2026年12月2日^备用^";

TEST(DocumentBarcode, TheStandardLayoutFillsItsColumns)
{
    const auto document = ParseDocumentBarcode(kStandard);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->versionTag, "GB0626-2005");
    EXPECT_EQ((*document)[Column::tmbh], "1100001234");
    EXPECT_EQ((*document)[Column::lwdw], "市政府办公厅");
    EXPECT_EQ((*document)[Column::wz], "通知");
    EXPECT_EQ((*document)[Column::wh], "京政办发〔2026〕8号");
    EXPECT_EQ((*document)[Column::zsdw], "各区人民政府");
    EXPECT_EQ((*document)[Column::wjbt], "关于做好安全工作的通知");
    EXPECT_EQ((*document)[Column::mmdj], "秘密5年");
    EXPECT_EQ((*document)[Column::jjcd], "特急");
    EXPECT_EQ((*document)[Column::fwrq], "20261201");
    EXPECT_EQ((*document)[Column::fbcq], "县团级");
    EXPECT_EQ((*document)[Column::tmzzdw], "市委办公厅");
    EXPECT_EQ((*document)[Column::zzrq], "20261202");
    EXPECT_EQ((*document)[Column::zdyzd], "备用");
    EXPECT_TRUE(document->misfits.empty());
    EXPECT_EQ((*document)[Column::swzh], "") << "the receipt number is the register's own";
}

TEST(DocumentBarcode, EmptyAndMissingFieldsStayEmptyWhateverTheEnding)
{
    for (const char* text : {"GB0626-2005^12^^函^^^标题", "GB0626-2005^12^^函^^^标题^", "GB0626-2005^12^^函^^^标题^|\r\n"}) {
        const auto document = ParseDocumentBarcode(text);
        ASSERT_TRUE(document) << text;
        EXPECT_EQ((*document)[Column::tmbh], "12") << text;
        EXPECT_EQ((*document)[Column::lwdw], "") << text;
        EXPECT_EQ((*document)[Column::wz], "函") << text;
        EXPECT_EQ((*document)[Column::wjbt], "标题") << text;
        EXPECT_EQ((*document)[Column::fwrq], "") << text;
        EXPECT_EQ((*document)[Column::zdyzd], "") << text;
        EXPECT_TRUE(document->misfits.empty()) << text;
    }
}

TEST(DocumentBarcode, ExtraFieldsJoinTheCustomField)
{
    const auto document = ParseDocumentBarcode("GB0626-2005^1^2^3^4^5^6^7^8^^10^11^^甲^乙^丙^");
    ASSERT_TRUE(document);
    EXPECT_EQ((*document)[Column::zdyzd], "甲^乙^丙");
    EXPECT_EQ((*document)[Column::tmzzdw], "11");
}

TEST(DocumentBarcode, EveryDateFormBecomesEightDigitsAndOtherTextIsKeptAndFlagged)
{
    EXPECT_EQ(quorva::NormaliseBarcodeDate("20260305"), "20260305");
    EXPECT_EQ(quorva::NormaliseBarcodeDate("2026-03-05"), "20260305");
    EXPECT_EQ(quorva::NormaliseBarcodeDate("2026.3.5"), "20260305");
    EXPECT_EQ(quorva::NormaliseBarcodeDate("2026.03.15"), "20260315");
    EXPECT_EQ(quorva::NormaliseBarcodeDate("2026年3月5日"), "20260305");
    for (const char* bad : {"20260231", "2026-3", "26.3.5", "2026年3月5", "三月五日", "2026-03-05x"}) {
        EXPECT_FALSE(quorva::NormaliseBarcodeDate(bad)) << bad;
    }
    const auto document = ParseDocumentBarcode("GB0626-2005^1^2^3^4^5^6^^^2026年春^10^11^2026.12.9^");
    ASSERT_TRUE(document);
    EXPECT_EQ((*document)[Column::fwrq], "2026年春");
    EXPECT_EQ((*document)[Column::zzrq], "20261209");
    EXPECT_EQ(document->misfits, std::vector<Column>{Column::fwrq});
}

TEST(DocumentBarcode, TextWithoutAKnownVersionTagIsNoDocumentBarcode)
{
    for (const char* text : {"", "1100001234", "GB0626-2005", "GB0626-2006^1^2^", "x GB0626-2005^1^", "gb0626-2005^1^"}) {
        EXPECT_FALSE(ParseDocumentBarcode(text)) << text;
    }
    EXPECT_TRUE(quorva::StartsDocumentBarcode("GB0626-2005^"));
    EXPECT_FALSE(quorva::StartsDocumentBarcode("GB0626-2005"));
}

TEST(DocumentBarcode, AStraySeparatorShowsAsFieldsThatDoNotFitOrAsTooFewFields)
{
    EXPECT_EQ(ParseDocumentBarcode("GB0626-2005^1^局^函^号^送^标^题^秘密^特急^20261201^^^^")->misfits,
              (std::vector<Column>{Column::mmdj, Column::jjcd, Column::fwrq}));
    EXPECT_EQ(ParseDocumentBarcode("GB0626-2005^1^局^函^号^送^标题^绝密长期^特提^20261201^^^2026-13-01^")->misfits,
              std::vector<Column>{Column::zzrq});
    EXPECT_TRUE(ParseDocumentBarcode("GB0626-2005^1^局^函^号^送^标题^秘密^特急^20261201^^")->fieldsMissing);
}

TEST(DocumentBarcode, CharactersOutsideCodePage936SurviveInTheTitle)
{
    const auto document = ParseDocumentBarcode("GB0626-2005^1^2^3^4^5^关于𠀋䶮同志的任命^");
    ASSERT_TRUE(document);
    EXPECT_EQ((*document)[Column::wjbt], "关于𠀋䶮同志的任命");
}

}  // namespace

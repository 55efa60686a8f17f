#include <gtest/gtest.h>

#include "register/core/automation/docx_form.h"
#include "register/core/automation/form_template.h"
#include "register/core/automation/rtf_form.h"

namespace {

using quorva::PlaceholderFill;

const std::vector<PlaceholderFill> kFills = {{"$收文号$", "一\r\n二"}, {"$备注$", "$收文号$"}};

TEST(FormTemplateTest, ADocxPlaceholderSplitOverRunsTakesTheFirstRunsFormatting)
{
    const std::string xml =
        "<?xml version=\"1.0\"?><w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:rPr><w:b/></w:rPr><w:t>号:$收</w:t>"
        "</w:r><w:proofErr/><w:r><w:t>文号$</w:t></w:r><w:r><w:t>|$备注$ $收文</w:t><w:tab/><w:t>号$</w:t></w:r></w:p>"
        "</w:body></w:document>";
    EXPECT_EQ(quorva::FillWordXml(xml, kFills),
              "<?xml version=\"1.0\"?><w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:rPr><w:b/></w:rPr>"
              "<w:t xml:space=\"preserve\">号:一</w:t><w:br/><w:t xml:space=\"preserve\">二</w:t></w:r><w:proofErr/>"
              "<w:r><w:t xml:space=\"preserve\"></w:t></w:r><w:r><w:t xml:space=\"preserve\">|$收文号$ $收文</w:t><w:tab/>"
              "<w:t>号$</w:t></w:r></w:p></w:body></w:document>");
}

TEST(FormTemplateTest, AnRtfPlaceholderIsFoundThroughGroupsAndEscapes)
{
    const struct {
        std::string rtf, filled;
    } cases[] = {
        {"{\\rtf1\\ansicpg936 \\b$\\'ca\\'d5{\\i \\u25991?}\\'ba\\'c5$\\b0 x}",
         "{\\rtf1\\ansicpg936 \\b {\\uc1 \\u19968?\\line \\u20108?}{\\i }\\b0 x}"},
        {"{\\uc2 $\\u22791\\'b1\\'b8\\u27880\\'d7\\'a2$}", "{\\uc2 {\\uc1 $\\u25910?\\u25991?\\u21495?$}}"},
        {"{$\\u25910?\\u25991?\\par \\u21495?$}", "{$\\u25910?\\u25991?\\par \\u21495?$}"},
        {"{\\*\\bkmkstart $\\u22791?\\u27880?$}$\\u22791?\\u27880?$", "{\\*\\bkmkstart $\\u22791?\\u27880?$}"
                                                                      "{\\uc1 $\\u25910?\\u25991?\\u21495?$}"},
    };
    for (const auto& c : cases) EXPECT_EQ(quorva::FillRtf(c.rtf, kFills), c.filled) << c.rtf;
    EXPECT_EQ(quorva::FillRtf("$\\u22791?\\u27880?$", {{"$备注$", "𠀋{\\"}}), "{\\uc1 \\u-10176?\\u-9205?\\{\\\\}");
}

TEST(FormTemplateTest, ABinaryTemplateIsRefusedWithTheFormatsThatCanBeFilled)
{
    try {
        quorva::FillFormTemplate(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), kFills);
        FAIL() << "filled";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(e.what(), quorva::kUnfillableTemplateMessage);
    }
    EXPECT_EQ(quorva::FillFormTemplate("{\\rtf1 $备注$}", kFills).extension, ".rtf");
}

TEST(FormTemplateTest, TheFilledCopyIsNamedAfterTheReceiptNumberAndDateBesideTheGivenFile)
{
    const quorva::CivilDate received{2026, 12, 7};
    EXPECT_EQ(quorva::FilledFormName("收 2026/12:3. ", received, ".rtf", 1), "收 2026_12_3_20261207.rtf");
    EXPECT_EQ(quorva::FilledFormName("", received, ".docx", 2), "呈批表_20261207_2.docx");
    EXPECT_EQ(quorva::FilledFormsFolder("C:\\Quorva\\Quorva.db"), "C:\\Quorva\\呈批表");
}

}  // namespace

#include <gtest/gtest.h>

#include "register/core/automation/approval_form.h"
#include "register/core/automation/list_export.h"
#include "register/core/automation/office_automation.h"
#include "tests/support/fake_entry_dialog.h"

namespace quorva {
namespace {

std::vector<std::string> Names(const AutomationOrder& order)
{
    std::vector<std::string> names;
    for (const AutomationAttempt& attempt : order) {
        names.push_back(std::string(attempt.how == Acquire::Attach ? "attach " : "start ") + attempt.progId);
    }
    return names;
}

TEST(OfficeAutomation, WpsExtensionInAnyCaseTriesWpsFirst)
{
    const std::vector<std::string> wpsFirst = {"attach kwps.Application", "start kwps.Application",
                                               "attach word.Application", "start word.Application"};
    EXPECT_EQ(Names(WordProcessorOrder("D:\\Quorva\\form.wps")), wpsFirst);
    EXPECT_EQ(Names(WordProcessorOrder("D:\\Quorva\\form.Wps")), wpsFirst);
    const std::vector<std::string> wordFirst = {"attach word.Application", "start word.Application",
                                                "attach kwps.Application", "start kwps.Application"};
    EXPECT_EQ(Names(WordProcessorOrder("D:\\Quorva\\呈批表制作说明.doc")), wordFirst);
    EXPECT_EQ(Names(WordProcessorOrder("D:\\a.wps\\form")), wordFirst);
    EXPECT_EQ(Names(SpreadsheetOrder("D:\\Quorva\\form.WPS")),
              (std::vector<std::string>{"attach Ket.Application", "start Ket.Application",
                                        "attach Excel.Application", "start Excel.Application"}));
    EXPECT_EQ(Names(SpreadsheetOrder("")),
              (std::vector<std::string>{"attach Excel.Application", "start Excel.Application",
                                        "attach Ket.Application", "start Ket.Application"}));
}

TEST(ApprovalForm, EveryPlaceholderTakesItsOwnFieldInFillOrder)
{
    FakeEntryDialog dialog;
    dialog.SetDate(EntryField::eswrq, CivilDate{2026, 12, 7});
    dialog.SetDate(EntryField::efwrq, CivilDate{2026, 1, 15});
    const std::pair<EntryField, const char*> texts[] = {
        {EntryField::eswzh, "收3"},    {EntryField::ebwh, "办4"},      {EntryField::ewh, "字5"},
        {EntryField::ewz, "通知"},     {EntryField::elwdw, "单位7"},   {EntryField::emmdj1, "机密"},
        {EntryField::emmdj2, "10年"},  {EntryField::ejjcd, "特急"},    {EntryField::ewjbt, "标题10"},
        {EntryField::eybyj, "拟11"},   {EntryField::eqzpx, "请12"},    {EntryField::ezgpx, "批13"},
        {EntryField::ezsdw, "主送14"}, {EntryField::etmbh, "码15"},    {EntryField::etmzzdw, "码单位16"},
        {EntryField::ezzrq, "制17"},   {EntryField::efbcq, "层次18"},  {EntryField::elrr, "录19"},
        {EntryField::eycp, "是"},      {EntryField::ecpr, "经办21"},   {EntryField::eybj, "否"},
        {EntryField::ecdh, "档23"},    {EntryField::ebljg, "结果24"},  {EntryField::ebz, ""},
    };
    for (const auto& [field, text] : texts) dialog.SetText(field, text);
    std::vector<std::string> filled;
    for (const PlaceholderFill& fill : ApprovalFormFills(dialog)) filled.push_back(fill.placeholder + "=" + fill.value);
    EXPECT_EQ(filled, (std::vector<std::string>{
                          "$收文日期$=2026.12.7", "$收文号$=收3",       "$办文号$=办4",       "$来文字号$=字5",
                          "$文种$=通知",          "$来文单位$=单位7",   "$密级$=机密10年",    "$紧急$=特急",
                          "$文件标题$=标题10",    "$拟办意见$=拟11",    "$请办意见$=请12",    "$批办意见$=批13",
                          "$发文日期$=2026.1.15", "$主送单位$=主送14",  "$条码编号$=码15",    "$条码单位$=码单位16",
                          "$制作日期$=制17",      "$发布层次$=层次18",  "$录入人$=录19",      "$已呈批$=是",
                          "$经办人$=经办21",      "$已办结$=否",        "$存档号$=档23",      "$办理结果$=结果24",
                          "$备注$=    ",
                      }));
}

TEST(ApprovalForm, TypedStretchesFollowLaterReplacements)
{
    TypedStretches typed;
    typed.Typed(10, 14, 20);  // "$备注$" at 10 became six characters
    EXPECT_TRUE(typed.Overlaps(15, 19));
    EXPECT_FALSE(typed.Overlaps(20, 24));
    typed.Typed(2, 6, 3);  // an earlier one shrank by three
    EXPECT_FALSE(typed.Overlaps(17, 21));
    EXPECT_TRUE(typed.Overlaps(12, 16));
    EXPECT_TRUE(typed.Overlaps(2, 6));
}

TEST(ListExport, SheetRowIsNumberedFromOneWithoutTheId)
{
    RecordRow row;
    row.caption = "7";
    for (int i = 0; i < kRecordRowItemCount; ++i) row.SetItem(i, "item" + std::to_string(i));
    const auto cells = SheetCells(row, 0);
    EXPECT_EQ(cells[0], "1");
    EXPECT_EQ(cells[1], "item0");
    EXPECT_EQ(cells[25], "item24");
    EXPECT_EQ(SheetRowOf(0), 4);
}

}  // namespace
}  // namespace quorva

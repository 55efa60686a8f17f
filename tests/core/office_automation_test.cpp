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

// Each text field holds "v" and its number in EntryField; 备注 is empty.
TEST(ApprovalForm, EveryPlaceholderTakesItsOwnFieldInFillOrder)
{
    FakeEntryDialog dialog;
    for (int field = 0; field <= static_cast<int>(EntryField::ebz); ++field) {
        dialog.SetText(static_cast<EntryField>(field), "v" + std::to_string(field));
    }
    dialog.SetText(EntryField::ebz, "");
    dialog.SetDate(EntryField::eswrq, CivilDate{2026, 12, 7});
    dialog.SetDate(EntryField::efwrq, CivilDate{2026, 1, 15});
    std::string filled;
    for (const PlaceholderFill& fill : ApprovalFormFills(dialog)) filled += fill.placeholder + fill.value + " ";
    EXPECT_EQ(filled, "$收文日期$2026.12.7 $收文号$v1 $办文号$v2 $来文字号$v6 $文种$v7 $来文单位$v5 $密级$v3v4 $紧急$v8 "
                      "$文件标题$v9 $拟办意见$v10 $请办意见$v11 $批办意见$v12 $发文日期$2026.1.15 $主送单位$v14 "
                      "$条码编号$v15 $条码单位$v16 $制作日期$v17 $发布层次$v18 $录入人$v19 $已呈批$v20 $经办人$v21 "
                      "$已办结$v22 $存档号$v23 $办理结果$v24 $备注$     $办理时限$     ");
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

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

TEST(ApprovalForm, PlaceholdersTakeTheDialogsValuesInFillOrder)
{
    FakeEntryDialog dialog;
    dialog.SetDate(EntryField::eswrq, CivilDate{2026, 12, 7});
    dialog.SetDate(EntryField::efwrq, CivilDate{2026, 1, 15});
    dialog.SetText(EntryField::ewh, "发[2026]3号");
    dialog.SetText(EntryField::emmdj1, "机密");
    dialog.SetText(EntryField::emmdj2, "10年");
    dialog.SetText(EntryField::eybyj, "一\r\n二");
    dialog.SetText(EntryField::ebz, "");
    dialog.SetText(EntryField::ejjcd, "特急");
    const std::vector<PlaceholderFill> fills = ApprovalFormFills(dialog);
    ASSERT_EQ(fills.size(), 26u);
    const auto valueOf = [&](const char* placeholder) {
        for (const PlaceholderFill& fill : fills) {
            if (fill.placeholder == placeholder) return fill.value;
        }
        return std::string("<absent>");
    };
    EXPECT_EQ(fills.front().placeholder, "$收文日期$");
    EXPECT_EQ(fills[12].placeholder, "$发文日期$");
    EXPECT_EQ(fills.back().placeholder, "$办理时限$");
    EXPECT_EQ(fills.back().value, "2026.12.10") << "特急: three days after 收文日期";
    EXPECT_EQ(valueOf("$收文日期$"), "2026.12.7");
    EXPECT_EQ(valueOf("$发文日期$"), "2026.1.15");
    EXPECT_EQ(valueOf("$来文字号$"), "发[2026]3号");
    EXPECT_EQ(valueOf("$密级$"), "机密10年");
    EXPECT_EQ(valueOf("$拟办意见$"), "一\r\n二");
    EXPECT_EQ(valueOf("$备注$"), "    ");
    EXPECT_EQ(valueOf("$条码单位$"), "    ");
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
    EXPECT_EQ(SheetHeaders()[0], std::string("序号"));
    EXPECT_EQ(SheetHeaders()[25], std::string("备注"));
}

}  // namespace
}  // namespace quorva

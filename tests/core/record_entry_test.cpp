#include "register/core/entry/record_entry.h"

#include <gtest/gtest.h>

#include "tests/support/fake_entry_dialog.h"
#include "tests/support/fakes.h"

namespace quorva {
namespace {

std::string Field(const RecordFields& fields, Column column) { return fields[static_cast<int>(column)]; }

TEST(RecordEntry, ValuesArePreparedForStoring)
{
    FakeEntryDialog dialog;
    dialog.SetDate(EntryField::eswrq, CivilDate{2026, 12, 7});
    dialog.SetDate(EntryField::efwrq, CivilDate{2026, 1, 5});
    dialog.SetText(EntryField::ewh, "国办发[2026]3号[附]");
    dialog.SetText(EntryField::emmdj1, "机密");
    dialog.SetText(EntryField::emmdj2, "10年");
    dialog.SetText(EntryField::eybyj, "第一行\n第二行\r\n第三行");
    dialog.SetText(EntryField::ewjbt, "𠀋 关于\"安全\"的通知");
    dialog.SetText(EntryField::eqzpx, "请办");
    dialog.SetText(EntryField::ecpr, "䶮");
    const RecordFields fields = PrepareRecordFields(dialog);
    EXPECT_EQ(Field(fields, Column::swrq), "20261207");
    EXPECT_EQ(Field(fields, Column::fwrq), "20260105");
    EXPECT_EQ(Field(fields, Column::wh), "国办发〔2026〕3号〔附〕");
    EXPECT_EQ(Field(fields, Column::mmdj), "机密10年");
    EXPECT_EQ(Field(fields, Column::ybyj), "第一行\r\n第二行\r\n第三行");
    EXPECT_EQ(Field(fields, Column::wjbt), "𠀋 关于\"安全\"的通知");
    EXPECT_EQ(Field(fields, Column::fgldpx), "请办");
    EXPECT_EQ(Field(fields, Column::cpr), "䶮");
    EXPECT_EQ(Field(fields, Column::zdyzd), "");

    dialog.SetText(EntryField::emmdj2, "");
    EXPECT_EQ(Field(PrepareRecordFields(dialog), Column::mmdj), "机密");
}

TEST(RecordEntry, ClassificationSplitsIntoLevelAndPeriod)
{
    EXPECT_EQ(SplitClassification("绝密长期"), std::make_pair(std::string("绝密"), std::string("长期")));
    EXPECT_EQ(SplitClassification("秘密"), std::make_pair(std::string("秘密"), std::string("")));
    EXPECT_EQ(SplitClassification("机密10年"), std::make_pair(std::string("机密"), std::string("10年")));
    EXPECT_EQ(SplitClassification("秘密5年"), std::make_pair(std::string("秘密"), std::string("5年")));
    EXPECT_EQ(SplitClassification("秘密30年以上"), std::make_pair(std::string("秘密"), std::string("30年")));
    EXPECT_EQ(SplitClassification(""), std::make_pair(std::string(""), std::string("")));
}

TEST(RecordEntry, TheReceivedDateIsReadInBothStoredForms)
{
    EXPECT_EQ(ReadReceivedDate("20261207")->DayNumber(), (CivilDate{2026, 12, 7}.DayNumber()));
    EXPECT_EQ(ReadReceivedDate("2026-12-07")->DayNumber(), (CivilDate{2026, 12, 7}.DayNumber()));
    EXPECT_EQ(ReadReceivedDate("2026-1-5")->DayNumber(), (CivilDate{2026, 1, 5}.DayNumber()));
    EXPECT_FALSE(ReadReceivedDate("2026-13-01"));
    EXPECT_FALSE(ReadReceivedDate("2026-12"));
    EXPECT_FALSE(ReadReceivedDate(""));
    EXPECT_FALSE(ReadReceivedDate("2026120"));
}

RecordRow StoredRow(const std::string& swrq, const std::string& fwrq)
{
    RecordRow row;
    row.caption = "3";
    row.Set(Column::swrq, swrq);
    row.Set(Column::fwrq, fwrq);
    row.Set(Column::mmdj, "绝密长期");
    row.Set(Column::wh, "京〔2026〕1号");
    row.Set(Column::lrr, "张三");
    row.Set(Column::bz, "一\r\n二");
    row.Set(Column::ID, "42");
    return row;
}

TEST(RecordEntry, AnEditDialogIsFilledFromTheRow)
{
    ScriptedPrompter prompter;
    FakeEntryDialog dialog;
    FillFromRow(StoredRow("2026-12-07", "20261130"), dialog, prompter);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(dialog.Date(EntryField::eswrq).ToCompact(), "20261207");
    EXPECT_EQ(dialog.Date(EntryField::efwrq).ToCompact(), "20261130");
    EXPECT_EQ(dialog.Text(EntryField::emmdj1), "绝密");
    EXPECT_EQ(dialog.Text(EntryField::emmdj2), "长期");
    EXPECT_EQ(dialog.Text(EntryField::ewh), "京〔2026〕1号");
    EXPECT_EQ(dialog.Text(EntryField::elrr), "张三");
    EXPECT_EQ(dialog.Text(EntryField::ebz), "一\r\n二");
}

TEST(RecordEntry, ADateThePickerCannotShowOpensUnsetAndKeepsItsStoredText)
{
    ScriptedPrompter prompter;
    FakeEntryDialog dialog;
    RecordRow row = StoredRow("bad", "2026年春");
    FillFromRow(row, dialog, prompter);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "日期格式不正确！");
    EXPECT_EQ(dialog.cleared, (std::set<EntryField>{EntryField::eswrq, EntryField::efwrq}));
    dialog.SetDate(EntryField::efwrq, CivilDate{2026, 3, 1});
    const RecordFields fields = PrepareEditedFields(dialog, row);
    EXPECT_EQ(Field(fields, Column::swrq), "bad");
    EXPECT_EQ(Field(fields, Column::fwrq), "20260301");
}

TEST(RecordEntry, WritingBackKeepsCaptionAndIdAndStoresTheDateForm)
{
    RecordRow row = StoredRow("2026-12-07", "20261130");
    FakeEntryDialog dialog;
    ScriptedPrompter prompter;
    FillFromRow(row, dialog, prompter);
    dialog.SetText(EntryField::ewh, "京[2026]2号");
    dialog.SetText(EntryField::emmdj2, "");
    dialog.SetText(EntryField::elrr, "李四");
    WriteBackRow(dialog, row);
    EXPECT_EQ(row.caption, "3");
    EXPECT_EQ(row.at(Column::ID), "42");
    EXPECT_EQ(row.at(Column::swrq), "20261207");
    EXPECT_EQ(row.at(Column::wh), "京〔2026〕2号");
    EXPECT_EQ(row.at(Column::mmdj), "绝密");
    EXPECT_EQ(row.at(Column::lrr), "李四");
    EXPECT_EQ(row.at(Column::bz), "一\r\n二");
}

}  // namespace
}  // namespace quorva

#include "register/core/storage/file_store.h"
#include "register/core/shell/list_loader.h"

#include <gtest/gtest.h>

#include "register/core/records/document_statements.h"
#include "register/store/sqlite_database.h"
#include "register/store/sqlite_table.h"
#include "tests/support/temp_folder.h"

namespace quorva {
namespace {

const CivilDate kToday{2026, 12, 8};

TEST(RecentDays, EdgesOfTheWindow)
{
    EXPECT_TRUE(IsWithinRecentDays("20261208", "10", kToday));
    EXPECT_TRUE(IsWithinRecentDays("20261128", "10", kToday));
    EXPECT_FALSE(IsWithinRecentDays("20261127", "10", kToday));
    EXPECT_TRUE(IsWithinRecentDays("20270101", "10", kToday));
    EXPECT_TRUE(IsWithinRecentDays("20261208", "0", kToday));
    EXPECT_TRUE(IsWithinRecentDays("20261209", "0", kToday));
    EXPECT_FALSE(IsWithinRecentDays("20261207", "0", kToday));
    EXPECT_TRUE(IsWithinRecentDays("20240229", "1013", kToday));
    EXPECT_FALSE(IsWithinRecentDays("20240229", "1012", kToday));
}

TEST(RecentDays, UnreadableDatesAndDaysAreNamed)
{
    const auto message = [](const std::string& swrq, const std::string& days) {
        try {
            IsWithinRecentDays(swrq, days, kToday);
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string("<none>");
    };
    EXPECT_EQ(message("", "10"), "'' is not a valid date");
    EXPECT_EQ(message("20151301", "10"), "'20151301' is not a valid date");
    EXPECT_EQ(message("20150230", "10"), "'20150230' is not a valid date");
    EXPECT_EQ(message("2015-06-15", "10"), "'2015-06-15' is not a valid date");
    EXPECT_EQ(message("20150615", "abc"), "'abc' is not a valid integer value");
}

class ListLoaderTest : public ::testing::Test {
protected:
    void Add(const std::string& swrq, const std::string& ycp = "否", const std::string& ybj = "否")
    {
        TSQLiteDatabase db(path);
        EnsureDocumentTable(db);
        RecordFields fields{};
        fields[static_cast<int>(Column::swrq)] = swrq;
        fields[static_cast<int>(Column::ycp)] = ycp;
        fields[static_cast<int>(Column::ybj)] = ybj;
        fields[static_cast<int>(Column::wjbt)] = "标题" + swrq;
        db.Execute(InsertRecordStatement(fields));
    }

    RecordList Load(const FilterState& filters)
    {
        RecordList rows;
        ListDeadlines deadlines;
        FillRecordList(QueryRecordList(store, filters), filters, kToday, rows, deadlines);
        return rows;
    }

    TempFolder folder;
    std::string path = folder.File("Quorva.db");
    FileStore store{path};
};

TEST_F(ListLoaderTest, ANewFileGetsItsTableAndAnEmptyList)
{
    EXPECT_TRUE(Load(FilterState()).empty());
    TSQLiteDatabase db(path);
    EXPECT_TRUE(db.HasTable("Quorva"));
}

TEST_F(ListLoaderTest, RowsAreNumberedFromOneInIdOrder)
{
    Add("20261201");
    Add("20261202");
    Add("20261203");
    const RecordList rows = Load(FilterState());
    ASSERT_EQ(rows.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[i].caption, std::to_string(i + 1));
        EXPECT_EQ(rows[i].at(Column::ID), std::to_string(i + 1));
    }
    EXPECT_EQ(rows[2].at(Column::wjbt), "标题20261203");
}

TEST_F(ListLoaderTest, RecentDaysRenumbersTheRowsShown)
{
    Add("20261101");
    Add("20261207");
    Add("20250101");
    Add("20261208");
    FilterState filters;
    filters.SetTicked(FilterBox::RecentOnly, true);
    const RecordList rows = Load(filters);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].caption, "1");
    EXPECT_EQ(rows[0].at(Column::ID), "2");
    EXPECT_EQ(rows[1].caption, "2");
    EXPECT_EQ(rows[1].at(Column::ID), "4");
}

TEST_F(ListLoaderTest, FlagFiltersAndRecentDaysCombine)
{
    Add("20261208", "是", "否");
    Add("20261208", "", "是");
    Add("20200101", "", "是");
    FilterState filters;
    filters.SetTicked(FilterBox::Unsubmitted, true);
    filters.SetTicked(FilterBox::Finished, true);
    EXPECT_EQ(Load(filters).size(), 2u);
    filters.SetTicked(FilterBox::RecentOnly, true);
    EXPECT_EQ(Load(filters).size(), 1u);
}

TEST_F(ListLoaderTest, AnUnreadableDateStopsTheLoadKeepingEarlierRows)
{
    Add("20261208");
    Add("");
    Add("20261208");
    FilterState filters;
    filters.SetTicked(FilterBox::RecentOnly, true);
    RecordList rows;
    ListDeadlines deadlines;
    EXPECT_THROW(FillRecordList(QueryRecordList(store, filters), filters, kToday, rows, deadlines), std::runtime_error);
    EXPECT_EQ(rows.size(), 1u);
    filters.SetTicked(FilterBox::RecentOnly, false);
    EXPECT_EQ(Load(filters).size(), 3u) << "without the filter no date is read";
}

}  // namespace
}  // namespace quorva

#include "register/core/shell/startup.h"

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

namespace quorva {
namespace {

const char* const kAppData = "C:\\users\\clerk\\AppData\\Roaming";
const std::string kIni = std::string(kAppData) + "\\ovd\\quorva.ini";

class StartupTest : public ::testing::Test {
protected:
    StartupResult Start() { return PrepareMainWindow(fs, store, kAppData, DefaultDatabaseFolderCandidates()); }
    void Store(const char* key, const std::string& value) { store.Write(kIni, kSettingsSection, key, value); }

    FakeFileSystem fs;
    MemoryProfileStore store;
};

TEST_F(StartupTest, FirstRunWithADDriveUsesDQuorva)
{
    fs.creatableRoots = {"C:\\", "D:\\"};
    const StartupResult result = Start();
    EXPECT_EQ(result.state.settingsPath, kIni);
    EXPECT_TRUE(fs.folders.count(std::string(kAppData) + "\\ovd"));
    EXPECT_TRUE(fs.FileExists(kIni + ".jg"));
    EXPECT_TRUE(fs.FileExists(kIni + ".xm"));
    EXPECT_EQ(result.state.databasePath, "D:\\Quorva\\Quorva.db");
    EXPECT_EQ(result.state.templatePath, "D:\\Quorva\\呈批表制作说明.doc");
    EXPECT_FALSE(result.state.silentEntry);
    EXPECT_EQ(result.statusText, "数据库未备份");
    EXPECT_EQ(result.filters.days(), "10");
    for (FilterBox box : {FilterBox::Unsubmitted, FilterBox::Submitted, FilterBox::Unfinished, FilterBox::Finished,
                          FilterBox::RecentOnly}) {
        EXPECT_FALSE(result.filters.IsTicked(box));
    }
    EXPECT_TRUE(store.entries.empty()) << "nothing is written at start";
}

TEST_F(StartupTest, DefaultFolderFallsBackToCThenE)
{
    fs.creatableRoots = {"C:\\"};
    EXPECT_EQ(ChooseDefaultDatabaseFolder(fs, DefaultDatabaseFolderCandidates()), "C:\\Quorva");
    fs.creatableRoots = {};
    fs.folders.clear();
    EXPECT_EQ(ChooseDefaultDatabaseFolder(fs, DefaultDatabaseFolderCandidates()), "E:\\Quorva");
    fs.folders = {"D:\\Quorva"};
    EXPECT_EQ(ChooseDefaultDatabaseFolder(fs, DefaultDatabaseFolderCandidates()), "D:\\Quorva");
}

TEST_F(StartupTest, DefaultFolderIsCreatedAlsoWhenPathNamesAnother)
{
    fs.creatableRoots = {"D:\\", "F:\\"};
    Store("Path", "F:\\档案");
    const StartupResult result = Start();
    EXPECT_TRUE(fs.folders.count("D:\\Quorva"));
    EXPECT_EQ(result.state.databasePath, "F:\\档案\\Quorva.db");
    EXPECT_EQ(result.state.templatePath, "F:\\档案\\呈批表制作说明.doc");
}

TEST_F(StartupTest, ExistingListFilesAreKept)
{
    fs.files[kIni + ".xm"] = "张三\r\n";
    Start();
    EXPECT_EQ(fs.files[kIni + ".xm"], "张三\r\n");
}

TEST_F(StartupTest, DatabasePathHasOneBackslash)
{
    EXPECT_EQ(JoinDatabasePath("E:\\data\\", "r.db"), "E:\\data\\r.db");
    EXPECT_EQ(JoinDatabasePath("E:\\data", "r.db"), "E:\\data\\r.db");
    EXPECT_EQ(JoinDatabasePath("/tmp/", "r.db"), "/tmp/r.db");
    Store("Path", "E:\\data\\");
    Store("DName", "收文.db");
    Store("MB", "E:\\模板.doc");
    const StartupResult result = Start();
    EXPECT_EQ(result.state.databasePath, "E:\\data\\收文.db");
    EXPECT_EQ(result.state.templatePath, "E:\\模板.doc");
}

TEST_F(StartupTest, StoredSettingsAreRestored)
{
    Store("BFDate", "2026-12-01 09:30:00");
    Store("SLast", "1");
    Store("SDate", "30");
    Store("PLinput", "1");
    const StartupResult result = Start();
    EXPECT_EQ(result.statusText, "最近一次数据库备份时间：2026-12-01 09:30:00");
    EXPECT_TRUE(result.filters.IsTicked(FilterBox::RecentOnly));
    EXPECT_EQ(result.filters.days(), "30");
    EXPECT_TRUE(result.state.silentEntry);
}

TEST_F(StartupTest, OfTwoTrueKeysOfAPairTheOneRestoredLaterWins)
{
    Store("SWcp", "1");
    Store("SYcp", "1");
    Store("SClose", "1");
    Store("SOpen", "1");
    const StartupResult result = Start();
    EXPECT_FALSE(result.filters.IsTicked(FilterBox::Unsubmitted));
    EXPECT_TRUE(result.filters.IsTicked(FilterBox::Submitted));
    EXPECT_TRUE(result.filters.IsTicked(FilterBox::Unfinished));
    EXPECT_FALSE(result.filters.IsTicked(FilterBox::Finished));
}

TEST_F(StartupTest, SaveWritesTheFiveBoxesAndTheDays)
{
    FilterState filters;
    filters.SetTicked(FilterBox::Submitted, true);
    filters.SetTicked(FilterBox::Finished, true);
    filters.SetDays("7");
    Settings settings(store, kIni);
    SaveFilters(settings, filters);
    const auto read = [&](const char* key) { return store.Read(kIni, "Option", key, "<missing>"); };
    EXPECT_EQ(read("SWcp"), "0");
    EXPECT_EQ(read("SYcp"), "1");
    EXPECT_EQ(read("SOpen"), "0");
    EXPECT_EQ(read("SClose"), "1");
    EXPECT_EQ(read("SLast"), "0");
    EXPECT_EQ(read("SDate"), "7");
}

TEST(FilterState, PairsExcludeEachOtherAndTheDaysBoxNeverStaysEmpty)
{
    FilterState filters;
    filters.SetTicked(FilterBox::Unfinished, true);
    filters.SetTicked(FilterBox::Finished, true);
    EXPECT_FALSE(filters.IsTicked(FilterBox::Unfinished));
    EXPECT_EQ(filters.FinishedFilter(), FlagFilter::OnlyYes);
    filters.SetTicked(FilterBox::Finished, false);
    EXPECT_EQ(filters.FinishedFilter(), FlagFilter::Any);
    filters.SetTicked(FilterBox::Unsubmitted, true);
    EXPECT_EQ(filters.ApprovalFilter(), FlagFilter::OnlyNo);
    filters.SetDays("");
    EXPECT_EQ(filters.days(), "0");
    EXPECT_TRUE(IsDaysKeyAccepted(u'0'));
    EXPECT_TRUE(IsDaysKeyAccepted(u'9'));
    EXPECT_TRUE(IsDaysKeyAccepted(0x08));
    EXPECT_FALSE(IsDaysKeyAccepted(u'a'));
    EXPECT_FALSE(IsDaysKeyAccepted(u'-'));
    EXPECT_FALSE(IsDaysKeyAccepted(u'５'));
}

}  // namespace
}  // namespace quorva

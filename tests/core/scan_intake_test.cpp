#include "register/core/barcode/scan_intake.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "register/store/sqlite_database.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"

namespace quorva {
namespace {

const char* const kIni = "A:\\ovd\\quorva.ini";

std::string Barcode(const std::string& wh, const std::string& title = "标题", const std::string& issued = "20261201")
{
    return "GB0626-2005^1^局^函^" + wh + "^^" + title + "^^^" + issued + "^^^^";
}

class StatusView : public MainView {
public:
    void ShowFilterChecks(const FilterState&) override {}
    void SetDaysText(const std::string&) override {}
    void SetFiltersEnabled(bool) override {}
    void SetStatusText(const std::string& text) override { status = text; }
    void ShowRows(const RecordList& rows) override { shown = rows.size(); }
    void SelectRow(int) override {}
    int SelectedRow() const override { return -1; }
    void RefreshRow(int) override {}
    void ShowQueryMode(bool) override {}
    std::string status;
    std::size_t shown = 0;
};

class CountedSignals : public ScanSignals {
public:
    void Stored() override { ++stored; }
    void Refused() override { ++refused; }
    int stored = 0, refused = 0;
};

class ScanIntakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto [key, value] : {std::pair{keys::kDatabaseFolder, dbFolder}, {keys::kSilentEntry, std::string("1")},
                                  {keys::kReceiptNumber, std::string("SW-1")}}) {
            store.Write(kIni, kSettingsSection, key, value);
        }
        std::filesystem::create_directories(dbFolder);
        fs.folders.insert(dbFolder);
        presenter.FormCreate();
        presenter.FormShow();
    }

    std::string SideFile() { return fs.files[dbFolder + "\\" + kUnstoredScansFile]; }

    TempFolder folder;
    std::string dbFolder = folder.File("db");
    FakeFileSystem fs;
    MemoryProfileStore store;
    ScriptedPrompter prompter;
    StatusView view;
    CountedSignals signals;
    MainWindowPresenter presenter{view, MainWindowEnvironment{fs, store, prompter, "A:", {"X:\\Quorva"},
                                                              [] { return CivilDate{2026, 12, 8}; }}};
    UnstoredScans unstored{fs, [] { return std::string("2026-12-08 10:00:00"); }};
    ScanIntake intake{presenter, view, signals, unstored};
};

TEST_F(ScanIntakeTest, ASilentRunStoresSoundScansAndKeepsEveryOtherBesideTheDatabase)
{
    const struct {
        std::string scan;
        std::string status;
        std::function<void()> before;
    } run[] = {
        {Barcode("京发〔2026〕1号"), "已静默录入：收文号“SW-2”，来文号“京发〔2026〕1号”，《标题》", {}},
        {Barcode(" 京发［２０２６］1号"), "来文号“ 京发［２０２６］1号”已存在于数据库（ID 1，收文号“SW-2”，《标题》）", {}},
        {Barcode("京发〔2026〕2号", "标^题"), "条码字段可能错位（“^”多余或缺失）：密级“题”无法识别", {}},
        {Barcode("京发〔2026〕2号", "标题", ""), "条码中没有成文日期", {}},
        {"GB0626-2005^1^局^函^京发〔2026〕2号^^标题^", "条码的字段数不足，分隔符“^”有缺失", {}},
        {Barcode("京发〔2026〕2号"), "无法由上一个收文号“收文”推出新的收文号",
         [&] { store.Write(kIni, kSettingsSection, keys::kReceiptNumber, "收文"); }},
        {Barcode("京发〔2026〕3号"), "Failed to open database",
         [&] {
             store.Write(kIni, kSettingsSection, keys::kReceiptNumber, "SW-2");
             const std::string db = presenter.state().databasePath;
             std::filesystem::rename(db, db + ".moved");
             std::filesystem::create_directory(db);
         }},
    };
    std::string kept = "\xEF\xBB\xBF";
    for (const auto& scan : run) {
        if (scan.before) scan.before();
        intake.ScanArrived(scan.scan);
        EXPECT_EQ(view.status.rfind(scan.status, 0), 0u) << view.status;
        if (&scan == &run[0]) continue;
        EXPECT_NE(view.status.find("，本次扫描未录入，已记入 " + dbFolder + "\\未录入扫描.txt"), std::string::npos);
        kept += "2026-12-08 10:00:00\t" + view.status.substr(0, view.status.find("，本次")) + "\t" + scan.scan + "\r\n";
    }
    EXPECT_EQ(SideFile(), kept);
    EXPECT_EQ(signals.stored, 1);
    EXPECT_EQ(signals.refused, 6);
    EXPECT_EQ(store.Read(kIni, kSettingsSection, keys::kHandlingNumber, "<missing>"), "<missing>");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ScanIntakeTest, AQueryScanFindsItsNumberInAnySpellingAndTellsAMissOnTheStatusBar)
{
    intake.ScanArrived(Barcode("京发〔2026〕1号"));
    presenter.CheckBox6Click(true);
    const struct {
        std::string scan;
        std::string status;
    } cases[] = {
        {Barcode("京发（２０２６）1号 "), "查询到来文号“京发（２０２６）1号 ”的记录 1 条"},
        {Barcode("京发〔2026〕9号"), "未查询到来文号“京发〔2026〕9号”的记录"},
        {Barcode(""), "查询到条码编号“1”的记录 1 条"},
        {"GB0626-2005^^局^^^^标题^^^20261201^^^^", "条码中既没有来文号也没有条码编号，无法查询"},
    };
    for (const auto& c : cases) {
        intake.ScanArrived(c.scan);
        EXPECT_EQ(view.status, c.status);
    }
    EXPECT_EQ(view.shown, 1u);
    EXPECT_EQ(signals.refused, 2);
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace quorva

#include "register/core/barcode/scan_intake.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <filesystem>

#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_store.h"

namespace quorva {
namespace {

const char* const kIni = "A:\\ovd\\quorva.ini";

std::string Barcode(const std::string& wh, const std::string& title = "标题", const std::string& issued = "20261201")
{
    return "GB0626-2005^1^局^函^" + wh + "^^" + title + "^^^" + issued + "^^^^";
}

class StatusView : public MainView, public ScanSignals {
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
    void SetOverdueText(const std::string&) override {}
    void Stored() override { sounds += "+"; }
    void Refused() override { sounds += "-"; }
    std::string status, sounds;
    std::size_t shown = 0;
};

class ScanIntakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Set(keys::kDatabaseFolder, dbFolder);
        Set(keys::kSilentEntry, "1");
        Set(keys::kReceiptNumber, "SW-1");
        std::filesystem::create_directories(dbFolder);
        fs.folders.insert(dbFolder);
        fs.creatableRoots.insert("A:");
        ChooseTestStore(store, kIni, secrets);
        presenter.FormCreate();
        presenter.FormShow();
    }
    void Set(const char* key, const std::string& value) { store.Write(kIni, kSettingsSection, key, value); }

    TempFolder folder;
    std::string dbFolder = folder.File("db");
    FakeFileSystem fs;
    MemoryProfileStore store;
    ScriptedPrompter prompter;
    StatusView view;
    MarkingSecretBox secrets;
    MainWindowPresenter presenter{view, MainWindowEnvironment{fs, store, prompter, "A:", {"X:"},
                                                              [] { return CivilDate{2026, 12, 8}; }, nullptr, nullptr,
                                                              nullptr, nullptr, {}, &secrets}};
    UnstoredScans unstored{fs, [] { return std::string("2026-12-08 10:00"); }};
    ScanIntake intake{presenter, view, view, unstored};
};

TEST_F(ScanIntakeTest, ASilentRunStoresSoundScansAndKeepsEveryOtherBesideTheDatabase)
{
    if (TestsOnServer()) GTEST_SKIP() << "the file's failures";
    const std::string db = presenter.state().databasePath;
    const struct {
        std::string scan;
        std::string reason;
        std::function<void()> before = {};
    } run[] = {
        {Barcode("京发〔2026〕1号"), ""},
        {Barcode(" 京发［２０２６］1号"), "来文号“ 京发［２０２６］1号”已存在于数据库（ID 1，收文号“SW-2”，《标题》）"},
        {Barcode("京发〔2026〕2号", "标^题"), "条码字段可能错位（“^”多余或缺失）：密级“题”无法识别"},
        {Barcode("京发〔2026〕2号", "标题", ""), "条码中没有成文日期"},
        {"GB0626-2005^1^局^函^京发〔2026〕2号^^标题^", "条码的字段数不足，分隔符“^”有缺失"},
        {Barcode("京发〔2026〕2号"), "无法由上一个收文号“收文”推出新的收文号", [&] { Set(keys::kReceiptNumber, "收文"); }},
        {Barcode("京发〔2026〕3号"), "Failed to open database \"" + db + "\" : unable to open database file", [&] {
             Set(keys::kReceiptNumber, "SW-2");
             std::filesystem::rename(db, folder.File("moved"));
             std::filesystem::create_directory(db);
         }},
    };
    std::string kept = "\xEF\xBB\xBF";
    for (const auto& scan : run) {
        if (scan.before) scan.before();
        intake.ScanArrived(scan.scan);
        if (scan.reason.empty()) continue;
        EXPECT_EQ(view.status, scan.reason + "，本次扫描未录入，已记入 " + dbFolder + "\\未录入扫描.txt");
        kept += "2026-12-08 10:00\t" + scan.reason + "\t" + scan.scan + "\r\n";
    }
    EXPECT_EQ(fs.files[dbFolder + "\\未录入扫描.txt"], kept);
    EXPECT_EQ(view.sounds, "+------");
    EXPECT_EQ(store.Read(kIni, kSettingsSection, keys::kHandlingNumber, "<none>"), "<none>");
    fs.folders.erase(dbFolder);
    intake.ScanArrived(Barcode("京发〔2026〕3号"));
    EXPECT_EQ(fs.files["A:\\ovd\\未录入扫描.txt"], "\xEF\xBB\xBF" + kept.substr(kept.rfind("2026-12-08")));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ScanIntakeTest, WhileTheServerIsAwayScansAreKeptTheListStaysAndTheRegisterReconnectsByItself)
{
    if (!TestsOnServer()) GTEST_SKIP() << "a server to stop";
#ifdef _WIN32
    GTEST_SKIP() << "the server is stopped and started by a shell script of the native build";
#endif
    const std::string control = std::getenv("QUORVA_PG_CONTROL");
    fs.folders.insert("A:\\ovd");
    intake.ScanArrived(Barcode("京发〔2026〕1号"));
    ASSERT_EQ(std::system((control + " stop").c_str()), 0);
    intake.ScanArrived(Barcode("京发〔2026〕2号"));
    EXPECT_NE(view.status.find("已记入 A:\\ovd\\未录入扫描.txt"), std::string::npos) << view.status;
    presenter.FollowChanges();
    EXPECT_EQ(view.status, "服务器连接中断");
    EXPECT_EQ(view.shown, 1u) << "the list keeps what it showed";
    ASSERT_EQ(std::system((control + " start").c_str()), 0);
    for (int poll = 0; poll < 10 && view.status != "服务器连接已恢复"; ++poll) presenter.FollowChanges();
    EXPECT_EQ(view.status, "服务器连接已恢复");
    intake.ScanArrived(Barcode("京发〔2026〕3号"));
    EXPECT_EQ(view.shown, 2u);
    EXPECT_EQ(view.sounds, "+-+");
    EXPECT_NE(fs.files["A:\\ovd\\未录入扫描.txt"].find(Barcode("京发〔2026〕2号")), std::string::npos);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ScanIntakeTest, AQueryScanFindsItsNumberInAnySpellingAndTellsAMissOnTheStatusBar)
{
    intake.ScanArrived(Barcode("京发〔2026〕1号"));
    presenter.CheckBox6Click(true);
    std::string statuses;
    for (const std::string& scan : {Barcode("京发（２０２６）1号 "), Barcode("京发〔2026〕9号"), Barcode(""),
                                   std::string("GB0626-2005^^局^^^^标题^^^20261201^^^^")}) {
        intake.ScanArrived(scan);
        statuses += view.status + "\n";
    }
    EXPECT_EQ(statuses, "查询到来文号“京发（２０２６）1号 ”的记录 1 条\n未查询到来文号“京发〔2026〕9号”的记录\n"
                        "查询到条码编号“1”的记录 1 条\n条码中既没有来文号也没有条码编号，无法查询\n");
    EXPECT_EQ(view.sounds, "++-+-");
    EXPECT_EQ(view.shown, 1u);
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace quorva

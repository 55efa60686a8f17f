#include "register/core/shell/main_window_presenter.h"

#include <gtest/gtest.h>

#include "register/core/records/database_copy.h"
#include "register/core/records/document_statements.h"
#include "register/store/sqlite_database.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_store.h"

namespace quorva {
namespace {

// Plays the window: the days box sends its change event as an edit control does.
class FakeMainView : public MainView {
public:
    void ShowFilterChecks(const FilterState& filters) override { checks = filters; }
    void SetDaysText(const std::string& text) override
    {
        if (text == days) return;
        days = text;
        if (presenter) presenter->Edit1Change(text);
    }
    void SetFiltersEnabled(bool enabled) override { filtersEnabled = enabled; }
    void SetStatusText(const std::string& text) override { status = text; }
    void ShowRows(const RecordList& rows) override
    {
        shownRows = rows.size();
        selected = -1;
        ++refills;
    }
    void SelectRow(int index) override { selected = index; }
    int SelectedRow() const override { return selected; }
    void RefreshRow(int index) override { refreshed.push_back(index); }
    void ShowQueryMode(bool ticked) override { queryMode = ticked; }
    void SetOverdueText(const std::string& text) override { overdue = text; }

    MainWindowPresenter* presenter = nullptr;
    FilterState checks;
    std::string days;
    bool filtersEnabled = true;
    std::string status;
    std::size_t shownRows = 0;
    int selected = -2;
    int refills = 0;
    std::vector<int> refreshed;
    bool queryMode = false;
    std::string overdue;
};

class MainWindowPresenterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.Write(Ini(), kSettingsSection, keys::kDatabaseFolder, folder.File("db"));
        std::filesystem::create_directories(folder.path() / "db");
        ChooseTestStore(store, Ini(), secrets);
    }

    std::string Ini() const { return "A:\\appdata\\ovd\\quorva.ini"; }

    MainWindowPresenter& Start()
    {
        presenter = std::make_unique<MainWindowPresenter>(
            view, MainWindowEnvironment{fs, store, prompter, "A:\\appdata", {"X:\\Quorva"},
                                        [] { return CivilDate{2026, 12, 8}; }, nullptr, nullptr, settingsDialogs,
                                        nullptr, {}, &secrets});
        view.presenter = presenter.get();
        presenter->FormCreate();
        presenter->FormShow();
        return *presenter;
    }

    void Add(const std::string& swrq, const std::string& ycp)
    {
        const std::unique_ptr<StoreConnection> db = presenter->store().Open();
        EnsureDocumentTable(*db);
        RecordFields fields{};
        fields[static_cast<int>(Column::swrq)] = swrq;
        fields[static_cast<int>(Column::ycp)] = ycp;
        db->Execute(InsertRecordStatement(fields));
    }

    TempFolder folder;
    FakeFileSystem fs;
    MemoryProfileStore store;
    MarkingSecretBox secrets;
    ScriptedPrompter prompter;
    FakeMainView view;
    SettingsDialogFactory* settingsDialogs = nullptr;
    std::unique_ptr<MainWindowPresenter> presenter;
};

TEST_F(MainWindowPresenterTest, ShowingLoadsAndSelectsTheLastRow)
{
    MainWindowPresenter& p = Start();
    EXPECT_EQ(view.shownRows, 0u);
    EXPECT_EQ(view.selected, -1) << "an empty list selects nothing";
    Add("20261208", "是");
    Add("20261208", "否");
    p.Button3Click();
    EXPECT_EQ(view.shownRows, 2u);
    EXPECT_EQ(view.selected, 1);
}

TEST_F(MainWindowPresenterTest, ClickingAFilterUnticksItsPartnerAndReloads)
{
    MainWindowPresenter& p = Start();
    Add("20261208", "是");
    Add("20261208", "否");
    p.FilterBoxClick(FilterBox::Unsubmitted, true);
    EXPECT_EQ(view.shownRows, 1u);
    p.FilterBoxClick(FilterBox::Submitted, true);
    EXPECT_FALSE(view.checks.IsTicked(FilterBox::Unsubmitted));
    EXPECT_TRUE(view.checks.IsTicked(FilterBox::Submitted));
    EXPECT_EQ(view.shownRows, 1u);
    p.FilterBoxClick(FilterBox::Submitted, false);
    EXPECT_EQ(view.shownRows, 2u);
}

TEST_F(MainWindowPresenterTest, ClearingTheDaysBoxMakesItZeroAndReloadsOnce)
{
    MainWindowPresenter& p = Start();
    Add("20261208", "");
    Add("20261207", "");
    p.FilterBoxClick(FilterBox::RecentOnly, true);
    const int before = view.refills;
    view.days = "";
    p.Edit1Change("");
    EXPECT_EQ(view.days, "0");
    EXPECT_EQ(p.filters().days(), "0");
    EXPECT_EQ(view.refills, before + 1);
    EXPECT_EQ(view.shownRows, 1u);
}

TEST_F(MainWindowPresenterTest, DaysChangesReloadOnlyWithTheRecentFilter)
{
    MainWindowPresenter& p = Start();
    const int before = view.refills;
    p.Edit1Change("3");
    EXPECT_EQ(view.refills, before);
    p.FilterBoxClick(FilterBox::RecentOnly, true);
    p.Edit1Change("4");
    EXPECT_EQ(view.refills, before + 2);
}

TEST_F(MainWindowPresenterTest, RestoringTheDaysAtCreationLoadsNothing)
{
    store.Write(Ini(), kSettingsSection, keys::kRecentOnly, "1");
    store.Write(Ini(), kSettingsSection, keys::kRecentDays, "5");
    MainWindowPresenter& p = Start();
    EXPECT_EQ(view.days, "5");
    EXPECT_EQ(view.refills, 1) << "only showing the window loads";
    EXPECT_TRUE(p.filters().IsTicked(FilterBox::RecentOnly));
}

TEST_F(MainWindowPresenterTest, QueryModeDisablesTheFiltersAndClearingItReloads)
{
    MainWindowPresenter& p = Start();
    const int before = view.refills;
    p.CheckBox6Click(true);
    EXPECT_FALSE(view.filtersEnabled);
    EXPECT_EQ(view.refills, before);
    p.CheckBox6Click(false);
    EXPECT_TRUE(view.filtersEnabled);
    EXPECT_EQ(view.refills, before + 1);
}

TEST_F(MainWindowPresenterTest, ABadDateShowsTheRowsBeforeItAndSelectsNothing)
{
    MainWindowPresenter& p = Start();
    Add("20261208", "");
    Add("bad", "");
    p.FilterBoxClick(FilterBox::Finished, false);
    EXPECT_EQ(view.selected, 1);
    RunCommand(prompter, [&] { p.FilterBoxClick(FilterBox::RecentOnly, true); });
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "'bad' is not a valid date.");
    EXPECT_EQ(prompter.shown[0].caption, "Marivel");
    EXPECT_EQ(prompter.shown[0].icon, PromptIcon::Error);
    EXPECT_EQ(view.shownRows, 1u);
    EXPECT_EQ(view.selected, -1);
}

TEST_F(MainWindowPresenterTest, AMissingDatabaseFolderKeepsTheOldRows)
{
    if (TestsOnServer()) GTEST_SKIP() << "the server has no folder";
    MainWindowPresenter& p = Start();
    Add("20261208", "是");
    Add("20261208", "否");
    p.Button3Click();
    ASSERT_EQ(view.shownRows, 2u);
    const int refills = view.refills;
    // The database's folder goes away (a network drive dropped, say).
    std::filesystem::remove_all(std::filesystem::u8path(p.state().databasePath).parent_path());
    RunCommand(prompter, [&] { p.Button3Click(); });
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text.rfind("Failed to open database \"", 0), 0u) << prompter.shown[0].text;
    EXPECT_EQ(view.refills, refills);
    EXPECT_EQ(p.rows().size(), 2u) << "the rows the list shows are kept";
}

TEST_F(MainWindowPresenterTest, ClosingWritesTheFilters)
{
    MainWindowPresenter& p = Start();
    p.FilterBoxClick(FilterBox::Finished, true);
    p.Edit1Change("12");
    p.FormClose();
    EXPECT_EQ(store.Read(Ini(), kSettingsSection, keys::kFinished, ""), "1");
    EXPECT_EQ(store.Read(Ini(), kSettingsSection, keys::kUnsubmitted, ""), "0");
    EXPECT_EQ(store.Read(Ini(), kSettingsSection, keys::kRecentDays, ""), "12");
}

// Plays the clerk in each settings dialog: OK with `chosen`, or cancel.
class FakeSettingsDialogs : public SettingsDialogFactory {
public:
    std::unique_ptr<SettingsDialog> CreateSettingsDialog(SettingsActions&) override { return std::make_unique<Dialog>(*this); }

    bool confirm = true;
    SettingsValues shown;
    SettingsValues chosen;

private:
    struct Dialog : SettingsDialog {
        explicit Dialog(FakeSettingsDialogs& clerk) : clerk(clerk) {}
        bool ShowModal(const SettingsValues& values) override
        {
            clerk.shown = values;
            return clerk.confirm;
        }
        SettingsValues Values() const override { return clerk.chosen; }
        FakeSettingsDialogs& clerk;
    };
};

TEST_F(MainWindowPresenterTest, SettingsTakeEffectOnlyOnOkAndReloadFromTheNewPath)
{
    FakeSettingsDialogs dialog;
    settingsDialogs = &dialog;
    MainWindowPresenter& p = Start();
    const std::string before = p.state().databasePath;
    dialog.confirm = false;
    dialog.chosen = {folder.File("other"), "other.db", "T.doc", true};
    p.SettingsClick();
    EXPECT_EQ(p.state().databasePath, before);
    EXPECT_FALSE(store.Has(Ini(), keys::kDatabaseName));

    std::filesystem::create_directories(folder.path() / "other");
    dialog.confirm = true;
    const int refills = view.refills;
    p.SettingsClick();
    EXPECT_EQ(dialog.shown.fileName, "Quorva.db");
    EXPECT_EQ(p.state().databasePath, folder.File("other") + "\\other.db");
    EXPECT_TRUE(p.state().silentEntry);
    EXPECT_EQ(store.Read(Ini(), kSettingsSection, keys::kDatabaseName, ""), "other.db");
    EXPECT_EQ(store.Read(Ini(), kSettingsSection, keys::kTemplate, ""), "T.doc");
    EXPECT_EQ(store.Read(Ini(), kSettingsSection, keys::kSilentEntry, ""), "1");
    EXPECT_EQ(view.refills, refills + 1);
    EXPECT_TRUE(DatabaseFileExists(p.state().databasePath)) << "the reload made the new database";
}

TEST(RecordIdOf, ARowWhoseIdIsNotAWholeNumberNamesNoRecord)
{
    RecordRow row;
    row.Set(Column::ID, "12");
    EXPECT_EQ(RecordIdOf(row), 12);
    row.Set(Column::ID, "12 or 1=1");
    EXPECT_THROW(RecordIdOf(row), std::runtime_error);
}

TEST(ErrorBoxText, AddsAFullStopOnlyAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(ErrorBoxText("Table is at End of File"), "Table is at End of File.");
    EXPECT_EQ(ErrorBoxText("done."), "done.");
    EXPECT_EQ(ErrorBoxText("未找到!"), "未找到!");
    EXPECT_EQ(ErrorBoxText("x)"), "x)");
    EXPECT_EQ(ErrorBoxText("路径"), "路径.");
    EXPECT_EQ(ErrorBoxText("a/"), "a/.");
    EXPECT_EQ(ErrorBoxText(""), "");
}

}  // namespace
}  // namespace quorva

#include <gtest/gtest.h>

#include <filesystem>

#include "register/core/records/document_statements.h"
#include "register/core/shell/main_window_presenter.h"
#include "register/core/storage/store.h"
#include "register/store/sqlite_database.h"
#include "tests/support/fake_entry_dialog.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_store.h"

namespace quorva {
namespace {

class ListView : public MainView {
public:
    void ShowFilterChecks(const FilterState&) override {}
    void SetDaysText(const std::string&) override {}
    void SetFiltersEnabled(bool) override {}
    void SetStatusText(const std::string& text) override { status = text; }
    void ShowRows(const RecordList& rows) override
    {
        shown = rows.size();
        selected = -1;
    }
    void SelectRow(int index) override { selected = index; }
    int SelectedRow() const override { return selected; }
    void RefreshRow(int index) override { refreshed.push_back(index); }
    void ShowQueryMode(bool) override {}
    void SetOverdueText(const std::string&) override {}
    std::size_t shown = 0;
    int selected = -1;
    std::vector<int> refreshed;
    std::string status;
};

const CivilDate kToday{2026, 12, 8};
const char* const kIni = "A:\\ovd\\quorva.ini";

// The clerk types a complete document into the dialog and confirms.
bool TypeDocument(FakeEntryDialog& dialog)
{
    dialog.SetText(EntryField::elwdw, "市政府办公厅");
    dialog.SetText(EntryField::ewh, "京政办发[2026]8号");
    dialog.SetText(EntryField::ewjbt, "关于𠀋䶮的通知");
    dialog.SetText(EntryField::emmdj1, "秘密");
    dialog.SetText(EntryField::emmdj2, "5年");
    dialog.SetText(EntryField::eybyj, "拟请阅\r\n办");
    dialog.SetText(EntryField::elrr, "张三");
    return true;
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.Write(kIni, kSettingsSection, keys::kDatabaseFolder, folder.File("db"));
        std::filesystem::create_directories(folder.path() / "db");
        ChooseTestStore(store, kIni, secrets);
        presenter.FormCreate();
        presenter.FormShow();
    }

    std::string Stored(const char* column, int id = 1)
    {
        auto result = presenter.store().Open()->Query(SqlStatement{"select * from Quorva where id=?", {std::int64_t{id}}});
        if (result->CountRows() == 0) return "<none>";
        return result->TextAt(result->ColumnIndex(column));
    }

    int Count()
    {
        return static_cast<int>(presenter.store().Open()->Query("select count(*) from Quorva")->Int64At(0));
    }

    // On the server the counters are the server's, shared by every register.
    std::string Counter(const char* key)
    {
        if (!TestsOnServer()) return store.Read(kIni, kSettingsSection, key, "<missing>");
        auto result = presenter.store().Open()->Query(
            SqlStatement{"SELECT value FROM QuorvaCounter WHERE name = ?", {std::string(key)}});
        return result->CountRows() ? result->TextAt(0) : "<missing>";
    }

    TempFolder folder;
    FakeFileSystem fs;
    MemoryProfileStore store;
    ScriptedPrompter prompter;
    ListView view;
    FakeEntryDialogFactory dialogs;
    MarkingSecretBox secrets;
    MainWindowPresenter presenter{view, MainWindowEnvironment{fs, store, prompter, "A:", {"X:\\Quorva"},
                                                              [] { return kToday; }, &dialogs, nullptr, nullptr,
                                                              nullptr, {}, &secrets}};
};

TEST_F(RegistrationTest, AConfirmedDialogBecomesARecordAndAdvancesTheCounters)
{
    store.Write(kIni, kSettingsSection, keys::kReceiptNumber, "SW2026-099");
    dialogs.clerk = TypeDocument;
    presenter.newbtnClick();
    EXPECT_EQ(dialogs.last.caption, "收文录入");
    EXPECT_EQ(dialogs.last.Date(EntryField::eswrq).ToCompact(), "20261208");
    EXPECT_EQ(dialogs.last.Date(EntryField::efwrq).ToCompact(), "20261208");
    EXPECT_EQ(dialogs.last.Text(EntryField::eswzh), "SW2026-100");
    EXPECT_EQ(dialogs.last.Text(EntryField::ebwh), "");

    EXPECT_EQ(Stored("swrq"), "20261208");
    EXPECT_EQ(Stored("wh"), "京政办发〔2026〕8号");
    EXPECT_EQ(Stored("wjbt"), "关于𠀋䶮的通知");
    EXPECT_EQ(Stored("mmdj"), "秘密5年");
    EXPECT_EQ(Stored("ybyj"), "拟请阅\r\n办");
    EXPECT_EQ(Stored("swzh"), "SW2026-100");
    EXPECT_EQ(Counter(keys::kReceiptNumber), "SW2026-100");
    EXPECT_EQ(Counter(keys::kHandlingNumber), "");
    EXPECT_EQ(view.shown, 1u);
    EXPECT_EQ(view.selected, 0) << "the new record is selected";
}

TEST_F(RegistrationTest, AChangedNumberIsWhatTheNextDialogCountsFrom)
{
    dialogs.clerk = [](FakeEntryDialog& d) {
        TypeDocument(d);
        d.SetText(EntryField::eswzh, "X-5");
        d.SetText(EntryField::ebwh, "办007");
        return true;
    };
    presenter.newbtnClick();
    EXPECT_EQ(Counter(keys::kReceiptNumber), "X-5");
    dialogs.clerk = [](FakeEntryDialog&) { return false; };
    presenter.newbtnClick();
    EXPECT_EQ(dialogs.last.Text(EntryField::eswzh), "X-6");
    EXPECT_EQ(dialogs.last.Text(EntryField::ebwh), "办008");
}

TEST_F(RegistrationTest, OnTheServerANumberTakenByAnotherClerkGivesTheNextFreeOneAndSaysSo)
{
    if (!TestsOnServer()) GTEST_SKIP() << "one clerk per file";
    store.Write(kIni, kSettingsSection, keys::kReceiptNumber, "SW-041");
    MainWindowPresenter other{view, MainWindowEnvironment{fs, store, prompter, "A:", {"X:\\Quorva"},
                                                          [] { return kToday; }, &dialogs, nullptr, nullptr,
                                                          nullptr, {}, &secrets}};
    other.FormCreate();
    int opened = 0;
    dialogs.clerk = [&](FakeEntryDialog& d) {
        EXPECT_EQ(d.Text(EntryField::eswzh), "SW-042");
        // Another clerk registers while the first dialog is open.
        if (++opened == 1) other.newbtnClick();
        TypeDocument(d);
        d.SetText(EntryField::ewh, "京发〔2026〕" + std::to_string(opened) + "号");
        return true;
    };
    presenter.newbtnClick();
    EXPECT_EQ(Stored("swzh", 1), "SW-042") << "the other clerk's";
    EXPECT_EQ(Stored("swzh", 2), "SW-043");
    EXPECT_EQ(Counter(keys::kReceiptNumber), "SW-043");
    EXPECT_EQ(view.status, "收文号“SW-042”已被其他登记使用，改为“SW-043”。");
}

TEST_F(RegistrationTest, CancellingWritesNothingAndProposesTheSameNumbersAgain)
{
    store.Write(kIni, kSettingsSection, keys::kReceiptNumber, "007");
    dialogs.clerk = [](FakeEntryDialog&) { return false; };
    presenter.newbtnClick();
    presenter.newbtnClick();
    EXPECT_EQ(dialogs.last.Text(EntryField::eswzh), "008");
    EXPECT_EQ(Counter(keys::kReceiptNumber), "007");
    EXPECT_FALSE(store.Has(kIni, keys::kHandlingNumber));
    EXPECT_EQ(Count(), 0);
}

TEST_F(RegistrationTest, WithTheTableMissingTheCountersStillAdvance)
{
    presenter.store().Open()->Execute("DROP TABLE Quorva");
    dialogs.clerk = [](FakeEntryDialog& d) {
        TypeDocument(d);
        d.SetText(EntryField::eswzh, "S-1");
        return true;
    };
    presenter.newbtnClick();
    EXPECT_EQ(Counter(keys::kReceiptNumber), "S-1");
    // The server's registration makes its table itself, as its numbering
    // needs the transaction anyway.
    EXPECT_EQ(Count(), TestsOnServer() ? 1 : 0) << "the reload re-created the table";
}

TEST_F(RegistrationTest, AFailedInsertIsShownAfterTheCountersAndTheReload)
{
    if (TestsOnServer()) GTEST_SKIP() << "the refusing trigger is the file's";
    {
        // A row written behind the list's back shows up only if the list is reloaded.
        TSQLiteDatabase db(presenter.state().databasePath);
        db.Execute("INSERT INTO Quorva(wjbt) VALUES ('别处写入')");
        db.Execute("CREATE TRIGGER refuse BEFORE INSERT ON Quorva BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    dialogs.clerk = [](FakeEntryDialog& d) {
        TypeDocument(d);
        d.SetText(EntryField::ebwh, "B-9");
        return true;
    };
    ASSERT_EQ(view.shown, 0u);
    RunCommand(prompter, [&] { presenter.newbtnClick(); });
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].text.find("Error executing SQL statement"), std::string::npos);
    EXPECT_EQ(Counter(keys::kHandlingNumber), "B-9");
    EXPECT_EQ(view.shown, 1u) << "the list was reloaded";
    EXPECT_EQ(Count(), 1) << "and the refused record is not in it";
}

TEST_F(RegistrationTest, CountersThatCannotBeWrittenAreShownAfterTheRecordIsStoredAndListed)
{
    if (TestsOnServer()) GTEST_SKIP() << "the server keeps the counters";
    dialogs.clerk = TypeDocument;
    store.readOnly = true;
    RunCommand(prompter, [&] { presenter.newbtnClick(); });
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, std::string("Unable to write to ") + kIni + ".");
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(view.shown, 1u) << "the list was reloaded";
}

TEST_F(RegistrationTest, AnEditUpdatesExactlyOneRowAndRewritesItInPlace)
{
    dialogs.clerk = TypeDocument;
    presenter.newbtnClick();
    presenter.newbtnClick();
    presenter.newbtnClick();
    view.selected = 1;
    dialogs.clerk = [](FakeEntryDialog& d) {
        d.SetText(EntryField::ewjbt, "改过的标题 \"引号\"");
        d.SetText(EntryField::ewh, "京[2026]9号");
        d.SetDate(EntryField::eswrq, CivilDate{2026, 12, 1});
        return true;
    };
    presenter.edtbtnClick();
    EXPECT_EQ(dialogs.last.caption, "编辑记录");
    EXPECT_EQ(dialogs.last.Text(EntryField::emmdj1), "秘密");
    EXPECT_EQ(dialogs.last.Text(EntryField::emmdj2), "5年");
    EXPECT_EQ(Stored("wjbt", 2), "改过的标题 \"引号\"");
    EXPECT_EQ(Stored("wh", 2), "京〔2026〕9号");
    EXPECT_EQ(Stored("swrq", 2), "20261201");
    EXPECT_EQ(Stored("wjbt", 1), "关于𠀋䶮的通知");
    EXPECT_EQ(Stored("wjbt", 3), "关于𠀋䶮的通知");
    const RecordRow& row = presenter.rows()[1];
    EXPECT_EQ(row.caption, "2");
    EXPECT_EQ(row.at(Column::ID), "2");
    EXPECT_EQ(row.at(Column::wjbt), "改过的标题 \"引号\"");
    EXPECT_EQ(row.at(Column::swrq), "20261201");
    EXPECT_EQ(view.refreshed, std::vector<int>{1});
}

// Another clerk changes or deletes the record while this clerk's edit
// dialog is open; the other clerk's statement runs on a connection of its own.
TEST_F(RegistrationTest, AnEditOverARecordChangedOrDeletedMeanwhileAsksOrSavesNothing)
{
    const struct {
        const char* meanwhile;
        PromptAnswer answer;
        const char* stored;  // wjbt afterwards, in the store and in the row
    } cases[] = {
        {"UPDATE Quorva SET wjbt = '对方的标题', bz = '对方的备注' WHERE id = 1", PromptAnswer::Yes, "我的标题"},
        {"UPDATE Quorva SET wjbt = '对方的标题', bz = '对方的备注' WHERE id = 1", PromptAnswer::No, "对方的标题"},
        {"DELETE FROM Quorva WHERE id = 1", PromptAnswer::Yes, "<none>"},
    };
    for (const auto& c : cases) {
        presenter.store().Open()->Execute("DELETE FROM Quorva");
        dialogs.clerk = TypeDocument;
        presenter.newbtnClick();
        presenter.store().Open()->Execute("UPDATE Quorva SET id = 1");
        presenter.Button3Click();
        view.selected = 0;
        prompter.shown.clear();
        prompter.answers = {c.answer};
        dialogs.clerk = [&](FakeEntryDialog& d) {
            d.SetText(EntryField::ewjbt, "我的标题");
            auto other = OpenTestStore(presenter.storeChoice(), presenter.state().databasePath, kIni);
            other->Open()->Execute(c.meanwhile);
            return true;
        };
        presenter.edtbtnClick();
        EXPECT_EQ(Stored("wjbt"), c.stored) << c.meanwhile;
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].caption, "记录已被其他人修改");
        if (std::string(c.stored) == "<none>") {
            EXPECT_EQ(prompter.shown[0].text, "这条记录已被其他人删除，您的修改没有保存。");
            continue;
        }
        EXPECT_NE(prompter.shown[0].text.find("文件标题：原为“关于𠀋䶮的通知”，现为“对方的标题”，您改为“我的标题”"),
                  std::string::npos)
            << prompter.shown[0].text;
        EXPECT_NE(prompter.shown[0].text.find("备注：原为“”，现为“对方的备注”"), std::string::npos);
        EXPECT_EQ(presenter.rows()[0].at(Column::wjbt), c.stored);
    }
}

TEST_F(RegistrationTest, EditingWithNothingSelectedOrCancelledChangesNothing)
{
    dialogs.clerk = TypeDocument;
    presenter.newbtnClick();
    view.selected = -1;
    dialogs.last = FakeEntryDialog();
    presenter.edtbtnClick();
    EXPECT_EQ(dialogs.last.shown, 0);
    EXPECT_TRUE(prompter.shown.empty());
    view.selected = 0;
    dialogs.clerk = [](FakeEntryDialog& d) {
        d.SetText(EntryField::ewjbt, "不会保存");
        return false;
    };
    presenter.edtbtnClick();
    EXPECT_EQ(Stored("wjbt"), "关于𠀋䶮的通知");
    EXPECT_TRUE(view.refreshed.empty());
}

TEST_F(RegistrationTest, OwnDeadlinesAreStoredEditedAndGoWithDeletedOrClearedRecords)
{
    const auto stored = [&] { return presenter.store().Open()->Query("select count(*) from QuorvaBlsx")->Int64At(0); };
    const auto withDeadline = [](FakeEntryDialog& d) {
        d.SetText(EntryField::eblsx, "20261201");
        return TypeDocument(d);
    };
    dialogs.clerk = withDeadline;
    presenter.newbtnClick();
    presenter.newbtnClick();
    EXPECT_EQ(stored(), 2);
    presenter.DeleteSelectedClick();
    dialogs.clerk = TypeDocument;
    presenter.newbtnClick();
    EXPECT_EQ(stored(), 1);
    EXPECT_EQ(DeadlineText(presenter.deadlines().DeadlineOf(1)), "") << "in a file the new record has the old ID";

    view.selected = 0;
    std::string shown;
    dialogs.clerk = [&](FakeEntryDialog& d) {
        shown = d.Text(EntryField::eblsx);
        d.SetText(EntryField::eblsx, "");
        return true;
    };
    presenter.edtbtnClick();
    EXPECT_EQ(shown, "20261201");
    EXPECT_EQ(stored(), 0);
    dialogs.clerk = withDeadline;
    presenter.newbtnClick();
    EXPECT_EQ(presenter.deadlines().CountOverdue(kToday), 1u);
    presenter.ClearAllClick();
    EXPECT_EQ(stored(), 0);
}

}  // namespace
}  // namespace quorva

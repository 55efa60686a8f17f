#include <gtest/gtest.h>

#include <filesystem>

#include "register/core/history/recycle_bin_presenter.h"
#include "register/core/shell/main_window_presenter.h"
#include "register/store/sqlite_database.h"
#include "register/store/sqlite_table.h"
#include "tests/support/fake_entry_dialog.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_store.h"

namespace quorva {
namespace {

using Click = void (RecycleBinPresenter::*)(RecycleBinView&);

class RowsView : public MainView {
public:
    void ShowFilterChecks(const FilterState&) override {}
    void SetDaysText(const std::string&) override {}
    void SetFiltersEnabled(bool) override {}
    void SetStatusText(const std::string&) override {}
    void ShowRows(const RecordList&) override { selected = -1; }
    void SelectRow(int index) override { selected = index; }
    int SelectedRow() const override { return selected; }
    void RefreshRow(int) override {}
    void ShowQueryMode(bool) override {}
    void SetOverdueText(const std::string&) override {}
    int selected = -1;
};

// Plays the clerk in 回收站: selects the entries of the given old IDs and
// clicks one button.
class BinClerk : public JournalDialogs, public RecycleBinView {
public:
    void ShowHistoryLog(HistoryLog&) override {}
    void ShowRecycleBin(RecycleBinPresenter& bin) override
    {
        bin.FormShow(*this);
        (bin.*click)(*this);
    }
    void ShowEntries(const JournalRows& rows) override { shown = &rows; }
    std::vector<std::size_t> SelectedEntries() const override
    {
        std::vector<std::size_t> selected;
        for (std::size_t r = 0; r < shown->size(); ++r) {
            for (std::int64_t id : ids) {
                if (shown->Cell(r, kOldIdColumn) == std::to_string(id)) selected.push_back(r);
            }
        }
        return selected;
    }

    static constexpr int kOldIdColumn = 4;
    std::vector<std::int64_t> ids;
    Click click = nullptr;
    const JournalRows* shown = nullptr;
};

class JournalTest : public ::testing::Test {
public:
    void SetUp() override
    {
        profiles.Write(Ini(), kSettingsSection, keys::kDatabaseFolder, folder.File("db"));
        std::filesystem::create_directories(folder.path() / "db");
        std::filesystem::create_directories(folder.path() / "A" / "ovd");  // the server's safety copy goes there
        ChooseTestStore(profiles, Ini(), secrets);
        presenter.FormCreate();
        presenter.FormShow();
        Register("S-1");
        Register("S-2");
    }

    std::string Ini() const { return folder.File("A") + "\\ovd\\quorva.ini"; }

    void Register(const std::string& number)
    {
        dialogs.clerk = [number](FakeEntryDialog& d) {
            d.SetText(EntryField::elwdw, "市政府");
            d.SetText(EntryField::ewh, "京[2026]" + number);
            d.SetText(EntryField::ewjbt, "标题" + number);
            d.SetText(EntryField::eswzh, number);
            return true;
        };
        presenter.newbtnClick();
    }

    void DeleteRow(int index)
    {
        view.selected = index;
        presenter.DeleteSelectedClick();
    }

    void InBin(std::vector<std::int64_t> ids, Click click)
    {
        bin.ids = std::move(ids);
        bin.click = click;
        presenter.RecycleBinClick();
    }

    // The history rows as "操作|记录ID|收文号|字段|原值|新值|说明", each by
    // the fixed clerk; the backup's path as {backup}.
    std::vector<std::string> History(const HistoryFilter& filter = {{2000, 1, 1}, {2099, 12, 31}, std::nullopt})
    {
        HistoryLog log(presenter.store(), today, "", prompter);
        const JournalRows rows = log.Read(filter);
        std::vector<std::string> lines;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            EXPECT_EQ(rows.Cell(r, 1) + rows.Cell(r, 2), "张三PC-01");
            std::string line = rows.Cell(r, 3);
            for (int c = 4; c < 10; ++c) line += "|" + (rows.Cell(r, c) == OldBackupPath() ? "{backup}" : rows.Cell(r, c));
            lines.push_back(line);
        }
        return lines;
    }

    std::int64_t BinEntries()
    {
        const auto connection = presenter.store().Open();
        return static_cast<std::int64_t>(JournalRows(BinLayout(), ReadBin(*connection)).size());
    }

    // A backup from before the history: the record table only.
    std::string OldBackupPath() const { return folder.File("old.bak"); }
    std::string OldBackup()
    {
        const std::string path = OldBackupPath();
        TSQLiteDatabase backup(path);
        EnsureDocumentTable(backup);
        backup.Execute(InsertRecordStatement({}));
        return path;
    }

    TempFolder folder;
    FakeFileSystem fs;
    MemoryProfileStore profiles;
    MarkingSecretBox secrets;
    ScriptedPrompter prompter;
    ScriptedFilePicker picker;
    FixedWorkstation workstation;
    BinClerk bin;
    RowsView view;
    FakeEntryDialogFactory dialogs;
    CivilDate today{2026, 12, 8};
    std::string now = "2026-12-08 10:00:00";
    MainWindowPresenter presenter{
        view, MainWindowEnvironment{fs, profiles, prompter, folder.File("A"), {"X:\\Quorva"}, [this] { return today; },
                                    &dialogs, nullptr, nullptr, &picker, [this] { return now; }, &secrets,
                                    &workstation, &bin}};
};

struct ActionCase {
    const char* name;  // of the test
    std::function<void(JournalTest&)> act;
    std::vector<std::string> rows;  // after the two 新增 of SetUp
    std::int64_t binEntries;
};

const ActionCase kActionCases[] = {
    {"Insert", [](JournalTest& t) { t.Register("S-3"); }, {"新增|3|S-3||||"}, 0},
    {"Edit",
     [](JournalTest& t) {
         t.view.selected = 0;
         t.dialogs.clerk = [](FakeEntryDialog& d) {
             d.SetText(EntryField::ewh, "京[2026]9号");
             d.SetText(EntryField::ewjbt, "新标题");
             return true;
         };
         t.presenter.edtbtnClick();
     },
     {"修改|1|S-1|来文字号|京〔2026〕S-1|京〔2026〕9号|", "修改|1|S-1|文件标题|标题S-1|新标题|"},
     0},
    {"Delete",
     [](JournalTest& t) { t.DeleteRow(1); },
     {"删除|2|S-2||||"},
     1},
    {"Clear", [](JournalTest& t) { t.presenter.ClearAllClick(); }, {"清空||||||2 条记录移入回收站"}, 2},
    {"RestoreKeepsTheHistoryAndTheBin",
     [](JournalTest& t) {
         t.DeleteRow(1);
         t.picker.backupFile = t.OldBackup();
         t.presenter.RestoreClick();
     },
     {"删除|2|S-2||||", "恢复||||||{backup}"},
     1},
    {"Undelete",
     [](JournalTest& t) {
         t.DeleteRow(1);
         t.InBin({2}, &RecycleBinPresenter::RestoreClick);
     },
     {"删除|2|S-2||||", "还原|2|S-2||||"},
     0},
    {"Purge",
     [](JournalTest& t) {
         t.DeleteRow(1);
         t.InBin({2}, &RecycleBinPresenter::PurgeClick);
     },
     {"删除|2|S-2||||", "彻底删除|2|S-2||||"},
     0},
    {"EmptyBin",
     [](JournalTest& t) {
         t.presenter.ClearAllClick();
         t.InBin({}, &RecycleBinPresenter::EmptyClick);
     },
     {"清空||||||2 条记录移入回收站", "清空回收站||||||2 条记录彻底删除"},
     0},
};

void PrintTo(const ActionCase& action, std::ostream* out) { *out << action.name; }

class JournalActionTest : public JournalTest, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(JournalActionTest, AppendsItsHistoryRowsAndKeepsTheEarlierOnes)
{
    const std::vector<std::string> registered{"新增|1|S-1||||", "新增|2|S-2||||"};
    GetParam().act(*this);
    std::vector<std::string> rows = History();
    ASSERT_GE(rows.size(), registered.size());
    EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 2), registered);
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 2, rows.end()), GetParam().rows);
    EXPECT_EQ(BinEntries(), GetParam().binEntries);
}

INSTANTIATE_TEST_SUITE_P(Each, JournalActionTest, ::testing::ValuesIn(kActionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(JournalTest, UndeletedRecordsTakeTheirOldIdWhereItIsFreeAndAPurgeIsFinal)
{
    presenter.ClearAllClick();
    Register("S-new");  // takes ID 1 again
    InBin({1, 2}, &RecycleBinPresenter::RestoreClick);
    EXPECT_EQ(prompter.shown.back().text, "已还原 2 条记录。\n原ID 1 已被占用，改为新ID 3。");
    ASSERT_EQ(presenter.rows().size(), 3u) << "the list was read again";
    EXPECT_EQ(presenter.rows()[1].at(Column::swzh), "S-2");
    EXPECT_EQ(presenter.rows()[2].at(Column::swzh), "S-1");
    EXPECT_EQ(RecordHistoryRows(presenter.store(), 3).Cell(0, 9), "清空于 " + now + "，原ID 1");
    EXPECT_EQ(RecordHistoryRows(presenter.store(), 1).size(), 1u) << "ID 1's earlier record is not this one's history";

    DeleteRow(0);
    prompter.answers = {PromptAnswer::No};
    InBin({1}, &RecycleBinPresenter::PurgeClick);
    EXPECT_EQ(prompter.shown.back().caption, "确认彻底删除");
    EXPECT_EQ(BinEntries(), 1);
    InBin({1}, &RecycleBinPresenter::PurgeClick);
    EXPECT_EQ(BinEntries(), 0);
    EXPECT_EQ(presenter.rows().size(), 2u);
}

TEST_F(JournalTest, TheLogShowsTheDaysAndTheActionAsked)
{
    now = "2026-12-09 23:59:59";
    Register("S-3");
    now = "2026-12-10 00:00:00";
    DeleteRow(0);
    EXPECT_EQ(History({{2026, 12, 9}, {2026, 12, 9}, std::nullopt}), std::vector<std::string>{"新增|3|S-3||||"});
    EXPECT_EQ(History({{2026, 12, 9}, {2026, 12, 10}, ChangeAction::Delete}),
              std::vector<std::string>{"删除|1|S-1||||"});
}

}  // namespace
}  // namespace quorva

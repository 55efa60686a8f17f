#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "tests/win32/main_form_fixture.h"

namespace {

using namespace main_form;
using main_form_test::MainFormTest;
using quorva::PromptAnswer;

constexpr int kTitleRow = 7;  // 文件标题, in build order from 0
constexpr int kFuzzy = 1;

// Plays the clerk in the search dialog from a second thread while the
// dialog runs its modal loop on the test's thread.
class SearchClerk {
public:
    explicit SearchClerk(std::wstring title) : thread_([title] { Search(title); }) {}
    ~SearchClerk() { thread_.join(); }

private:
    static void Search(const std::wstring& title)
    {
        const std::wstring caption = Widen(quorva::kSearchCaption);
        // Visible only once its controls are made.
        HWND dialog = nullptr;
        for (int i = 0; i < 500 && !(dialog && IsWindowVisible(dialog)); ++i) {
            dialog = FindWindowW(L"#32770", caption.c_str());
            Sleep(10);
        }
        if (!dialog) return;
        SendMessageW(GetDlgItem(dialog, TForm2::ModeId(kTitleRow)), CB_SETCURSEL, kFuzzy, 0);
        SetWindowTextW(GetDlgItem(dialog, TForm2::ValueId(kTitleRow)), title.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        for (int i = 0; i < 500 && IsWindow(dialog); ++i) Sleep(10);
    }

    std::thread thread_;
};

class MaintenanceTest : public MainFormTest {
protected:
    void Search(const std::wstring& title)
    {
        SearchClerk clerk(title);
        Click(kSearch);
    }
    void Menu(int id) { SendMessageW(form->hwnd(), WM_COMMAND, id, 0); }
    std::string LastMessage() { return prompter.shown.empty() ? "<none>" : prompter.shown.back().text; }
};

TEST_F(MaintenanceTest, ASearchShowsItsRowsInQueryModeAndClearingItRestoresTheFilteredList)
{
    AddRecord("20261201", "否", "关于安全生产的通知");
    AddRecord("20261202", "是", "关于安全检查的通报");
    AddRecord("20261203", "否", "会议纪要");
    Start();
    Click(kUnsubmitted);
    ASSERT_EQ(RowCount(), 2);

    Search(L"安全");
    EXPECT_TRUE(Checked(kQueryMode));
    EXPECT_FALSE(IsWindowEnabled(form->Control(kUnsubmitted)));
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Cell(1, 0), "2");
    EXPECT_EQ(Cell(1, 8), "关于安全检查的通报");

    Search(L"不存在");
    EXPECT_EQ(LastMessage(), "未查询到符合条件的数据记录!");
    EXPECT_EQ(RowCount(), 2) << "the last result stays";

    Click(kQueryMode);
    EXPECT_FALSE(Checked(kQueryMode));
    EXPECT_TRUE(IsWindowEnabled(form->Control(kUnsubmitted)));
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Cell(1, 8), "会议纪要");
}

TEST_F(MaintenanceTest, DeleteRemovesExactlyTheSelectedRecordAndNoKeepsIt)
{
    AddRecord("20261201", "", "一");
    AddRecord("20261202", "", "二");
    AddRecord("20261203", "", "三");
    Start();
    ListView_SetItemState(form->Control(kList), -1, 0, LVIS_SELECTED);
    Menu(kMenuDeleteSelected);
    EXPECT_EQ(LastMessage(), "请选中相应的记录后再点击删除！");
    ListView_SetItemState(form->Control(kList), 1, LVIS_SELECTED, LVIS_SELECTED);
    prompter.answers = {PromptAnswer::No};
    Menu(kMenuDeleteSelected);
    EXPECT_EQ(prompter.shown.back().caption, "确认删除");
    EXPECT_EQ(Stored("wjbt", 2), "二");
    EXPECT_EQ(RowCount(), 3);

    Menu(kMenuDeleteSelected);
    EXPECT_EQ(Stored("wjbt", 2), "<none>");
    EXPECT_EQ(Stored("wjbt", 1), "一");
    EXPECT_EQ(Stored("wjbt", 3), "三");
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Cell(1, 0), "2");
    EXPECT_EQ(Cell(1, 8), "三");
}

TEST_F(MaintenanceTest, BackupThenClearThenRestoreBringsTheRecordsBack)
{
    AddRecord("20261201", "", "一");
    AddRecord("20261202", "", "二");
    Start();
    const std::string bak = folder.File("backups") + "\\" + testStore->BackupName();
    Win32FileSystem().CreateFolders(folder.File("backups"));
    filePicker.folder = folder.File("backups");
    Menu(kMenuBackup);
    EXPECT_EQ(LastMessage(), "备份成功！");
    EXPECT_EQ(IniValue("BFDate"), main_form_test::kNow);
    EXPECT_EQ(Narrow(main_form_test::Text(form->Control(kStatusBar))),
              std::string("最近一次数据库备份时间：") + main_form_test::kNow);
    {
        // Held open without sharing, as another program may hold it (Wine run
        // as root writes through a read-only attribute).
        const std::unique_ptr<void, decltype(&CloseHandle)> held(
            CreateFileW(Widen(Ini()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), CloseHandle);
        Menu(kMenuBackup);
        EXPECT_EQ(LastMessage(), "备份成功！\n备份时间未能写入设置文件：Unable to write to " + Ini() + ".");
    }

    prompter.answers = {PromptAnswer::No};
    AddRecord("20261203", "", "三");
    Menu(kMenuBackup);
    EXPECT_EQ(prompter.shown.back().caption, "确认备份");
    if (!TestsOnServer()) {
        TSQLiteDatabase writer(DatabasePath());
        writer.Execute("BEGIN EXCLUSIVE");
        Menu(kMenuBackup);
        EXPECT_EQ(LastMessage(), "对不起，备份失败！");
    }

    Menu(kMenuClearAll);
    EXPECT_EQ(prompter.shown.back().caption, "确认清空");
    EXPECT_EQ(RowCount(), 0);

    // A backup of an older layout, whose list could not be loaded, is refused.
    filePicker.backupFile = folder.File("backups") + "\\older.bak";
    TSQLiteDatabase(*filePicker.backupFile).Execute("create table Quorva ([ID] INTEGER PRIMARY KEY, wjbt)");
    Menu(kMenuRestore);
    EXPECT_EQ(LastMessage(), "对不起，恢复失败！");
    EXPECT_EQ(IniValue("BFDate"), main_form_test::kNow);

    filePicker.backupFile = bak;
    prompter.answers = {PromptAnswer::No};
    Menu(kMenuRestore);
    EXPECT_EQ(prompter.shown.back().caption, "确认恢复");
    EXPECT_EQ(RowCount(), 0);
    Menu(kMenuRestore);
    // The server's records are kept beside the settings file.
    const std::string kept = TestsOnServer() ? SettingsFolder() + "\\quorva" : DatabasePath();
    EXPECT_EQ(LastMessage(), "恢复成功！\n恢复前的数据库已另存为：" + kept + ".before-restore-20261208-100000");
    ASSERT_EQ(RowCount(), 2) << "the backup from before the third record";
    EXPECT_EQ(Cell(1, 8), "二");
    EXPECT_EQ(IniValue("BFDate"), "");
}

}  // namespace

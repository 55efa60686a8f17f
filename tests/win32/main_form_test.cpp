#include "tests/win32/main_form_fixture.h"

namespace {

using namespace main_form;
using main_form_test::MainFormTest;
using main_form_test::Pump;
using main_form_test::SendMouse;
using main_form_test::Text;

TEST_F(MainFormTest, FirstStartCreatesSettingsListFilesAndDatabase)
{
    TmainForm& main = Start();
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(SettingsFolder())));
    EXPECT_EQ(std::filesystem::file_size(std::filesystem::u8path(Ini() + ".jg")), 0u);
    EXPECT_EQ(std::filesystem::file_size(std::filesystem::u8path(Ini() + ".xm")), 0u);
    EXPECT_EQ(main.presenter().state().databasePath, DatabasePath());
    EXPECT_EQ(main.presenter().state().templatePath, DefaultFolder() + "\\呈批表制作说明.doc");
    EXPECT_TRUE(testStore->Open()->HasTable("Quorva"));
    if (!TestsOnServer()) {
        TSQLiteDatabase db(DatabasePath());
        EXPECT_EQ(db.Query("select * from sqlite_master where name='Quorvawh'")->CountRows(), 1);
    }
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Narrow(Text(main.Control(kDays))), "10");
    wchar_t status[128] = {};
    SendMessageW(main.Control(kStatusBar), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
    EXPECT_EQ(Narrow(status), "数据库未备份");
    EXPECT_EQ(Narrow(Text(main.hwnd())), "Marivel");
    EXPECT_EQ(ListView_GetColumnWidth(main.Control(kList), 26), 0) << "the ID column is hidden";
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(MainFormTest, TickingFiltersReloadsTheListThroughWindowMessages)
{
    AddRecord("20261201", "是", "已呈批的文件");
    AddRecord("20261202", "否", "未呈批的文件");
    AddRecord("20261203", "", "𠀋 无标记的文件");
    Start();
    ASSERT_EQ(RowCount(), 3);
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(Cell(2, 0), "3");
    EXPECT_EQ(Cell(2, 8), "𠀋 无标记的文件");
    EXPECT_EQ(Cell(2, 26), "3");

    Click(kUnsubmitted);
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Cell(0, 0), "1");
    EXPECT_EQ(Cell(0, 8), "未呈批的文件");
    EXPECT_EQ(Cell(1, 26), "3");

    Click(kSubmitted);
    EXPECT_FALSE(Checked(kUnsubmitted));
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Cell(0, 8), "已呈批的文件");

    Click(kSubmitted);
    EXPECT_EQ(RowCount(), 3);
}

TEST_F(MainFormTest, QueryModeDisablesTheFiltersUntilItIsCleared)
{
    Start();
    Click(kQueryMode);
    for (int id : {kUnsubmitted, kSubmitted, kUnfinished, kFinished, kRecentOnly, kDays}) {
        EXPECT_FALSE(IsWindowEnabled(form->Control(id))) << id;
    }
    Click(kQueryMode);
    for (int id : {kUnsubmitted, kSubmitted, kUnfinished, kFinished, kRecentOnly, kDays}) {
        EXPECT_TRUE(IsWindowEnabled(form->Control(id))) << id;
    }
}

TEST_F(MainFormTest, TheDaysBoxTakesDigitsOnlyAndNeverStaysEmpty)
{
    AddRecord("20261208", "", "today");
    AddRecord("20261130", "", "eight days ago");
    Start();
    Click(kRecentOnly);
    EXPECT_EQ(RowCount(), 2);
    const HWND days = form->Control(kDays);
    SendMessageW(days, WM_CHAR, L'a', 0);
    EXPECT_EQ(Narrow(Text(days)), "10");
    SetWindowTextW(days, L"");
    EXPECT_EQ(Narrow(Text(days)), "0");
    EXPECT_EQ(RowCount(), 1);
    EXPECT_EQ(Cell(0, 8), "today");
}

TEST_F(MainFormTest, ClosingWritesTheFiltersAndTheNextStartRestoresThem)
{
    Start();
    Click(kFinished);
    Click(kRecentOnly);
    SetWindowTextW(form->Control(kDays), L"7");
    Close();
    EXPECT_EQ(IniValue("SClose"), "1");
    EXPECT_EQ(IniValue("SOpen"), "0");
    EXPECT_EQ(IniValue("SWcp"), "0");
    EXPECT_EQ(IniValue("SYcp"), "0");
    EXPECT_EQ(IniValue("SLast"), "1");
    EXPECT_EQ(IniValue("SDate"), "7");

    Start();
    EXPECT_TRUE(Checked(kFinished));
    EXPECT_TRUE(Checked(kRecentOnly));
    EXPECT_FALSE(Checked(kUnfinished));
    EXPECT_EQ(Narrow(Text(form->Control(kDays))), "7");
}

TEST_F(MainFormTest, EndingTheSessionWritesTheFilters)
{
    Start();
    Click(kFinished);
    SetWindowTextW(form->Control(kDays), L"7");
    EXPECT_TRUE(SendMessageW(form->hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) << "nothing is asked";
    EXPECT_NE(IniValue("SClose"), "1") << "the session may yet go on";
    SendMessageW(form->hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(IniValue("SClose"), "1");
    EXPECT_EQ(IniValue("SDate"), "7");
}

TEST_F(MainFormTest, TheHiddenIdColumnCannotBeDraggedOpen)
{
    Start();
    const HWND list = form->Control(kList);
    // Narrow columns bring the ID column's divider into view.
    for (int column = 1; column < 26; ++column) ListView_SetColumnWidth(list, column, 20);
    Pump(300);
    const HWND header = ListView_GetHeader(list);
    RECT idColumn{};
    Header_GetItemRect(header, 26, &idColumn);
    POINT divider{idColumn.right + 3, (idColumn.top + idColumn.bottom) / 2};
    ClientToScreen(header, &divider);
    SendMouse(divider);
    SendMouse(divider, MOUSEEVENTF_LEFTDOWN);
    Pump(50);
    for (int step = 1; step <= 4; ++step) {
        SendMouse(POINT{divider.x + 20 * step, divider.y});
        Pump(20);
    }
    SendMouse(POINT{divider.x + 80, divider.y}, MOUSEEVENTF_LEFTUP);
    Pump(100);
    EXPECT_EQ(ListView_GetColumnWidth(list, 26), 0);
}

TEST_F(MainFormTest, AMissingDatabaseFolderShowsTheOpenErrorAndTheWindowStays)
{
    Win32FileSystem().CreateFolders(SettingsFolder());
    const std::string missing = folder.File("nowhere") + "\\deeper";
    WritePrivateProfileStringW(L"Option", L"Path", Widen(missing).c_str(), Widen(Ini()).c_str());
    // On the server, the store that cannot be reached is a port nobody listens on.
    WritePrivateProfileStringW(L"Option", L"ServerPort", L"1", Widen(Ini()).c_str());
    Start();
    ASSERT_EQ(prompter.shown.size(), 1u);
    if (TestsOnServer()) {
        EXPECT_EQ(prompter.shown[0].text.rfind("数据库服务器 127.0.0.1:1/quorva：", 0), 0u) << prompter.shown[0].text;
        EXPECT_NE(prompter.shown[0].text.find("[08001]"), std::string::npos) << prompter.shown[0].text;
    } else {
        EXPECT_EQ(prompter.shown[0].text, "Failed to open database \"" + missing +
                                              "\\Quorva.db\" : unable to open database file.");
    }
    EXPECT_EQ(prompter.shown[0].caption, "Marivel");
    EXPECT_EQ(prompter.shown[0].icon, quorva::PromptIcon::Error);
    EXPECT_TRUE(IsWindow(form->hwnd()));
    EXPECT_EQ(RowCount(), 0);
    if (!TestsOnServer()) {
        SendMessageW(form->hwnd(), WM_COMMAND, kMenuBackup, 0);
        EXPECT_EQ(prompter.shown.back().text, "数据库不存在！");
    }
}

TEST_F(MainFormTest, TheFirstTickMaximizesTheWindow)
{
    Start();
    const DWORD until = GetTickCount() + 2000;
    MSG message;
    while (!IsZoomed(form->hwnd()) && GetTickCount() < until) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(5);
    }
    EXPECT_TRUE(IsZoomed(form->hwnd()));
}

}  // namespace

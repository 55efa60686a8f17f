#pragma once

// The main window on a machine of its own for each test: application data
// and the default database folders inside a temporary folder, where "D:"
// cannot be created.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "register/core/records/document_statements.h"
#include "register/core/text/text_encoding.h"
#include "register/store/sqlite_database.h"
#include "register/win32/entry/entry_form.h"
#include "register/win32/shell/main_form.h"
#include "register/win32/shell/main_form_ids.h"
#include "register/win32/entry/pick_list_form.h"
#include "register/win32/search/search_form.h"
#include "register/win32/shell/settings_form.h"
#include "register/win32/platform/win32_file_system.h"
#include "register/win32/platform/win32_profile_store.h"
#include "register/win32/platform/win32_workstation.h"
#include "register/win32/history/journal_dialogs.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_store.h"

namespace main_form_test {

using namespace main_form;
namespace fs = std::filesystem;

const quorva::CivilDate kToday{2026, 12, 8};
const char* const kNow = "2026-12-08 10:00:00";

inline std::wstring Text(HWND hwnd)
{
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

// A real mouse: presses, moves and releases reach whichever window is at the
// point, as the system routes them (disabled windows get none).
inline void SendMouse(POINT at, DWORD button = 0)
{
    INPUT input{INPUT_MOUSE};
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
    SendInput(1, &input, sizeof input);
}

inline void ClickOn(HWND window)
{
    RECT area{};
    GetWindowRect(window, &area);
    const POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    SendMouse(middle);
    SendMouse(middle, MOUSEEVENTF_LEFTDOWN);
    SendMouse(middle, MOUSEEVENTF_LEFTUP);
}

// Runs this thread's windows for a while.
inline void Pump(DWORD milliseconds)
{
    const DWORD until = GetTickCount() + milliseconds;
    MSG message;
    while (GetTickCount() < until) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
}

// A machine of its own for each test: application data and the default
// database folders inside a temporary folder, where "D:" cannot be created.
class MainFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
    }

    void SetUp() override
    {
        std::ofstream(folder.path() / "D") << "a file, so no folder can be made under it";
        // The settings file names the server before the register first starts.
        if (TestsOnServer()) Win32FileSystem().CreateFolders(SettingsFolder());
        testStore = OpenTestStore(ChooseTestStore(profileStore, Ini(), secrets), DatabasePath(), Ini());
    }

    std::string AppData() const { return folder.File("AppData"); }
    std::string SettingsFolder() const { return AppData() + "\\ovd"; }
    std::string Ini() const { return SettingsFolder() + "\\quorva.ini"; }
    std::string DefaultFolder() const { return folder.File("C") + "\\Quorva"; }
    std::string DatabasePath() const { return DefaultFolder() + "\\Quorva.db"; }
    // Where 未录入扫描.txt goes: beside the file, or the server's settings.
    std::string SideFolder() const { return TestsOnServer() ? SettingsFolder() : DefaultFolder(); }

    TmainForm& Start() { return Start(prompter); }
    TmainForm& Start(quorva::Prompter& boxes)
    {
        form = std::make_unique<TmainForm>(
            quorva::MainWindowEnvironment{fileSystem, profileStore, boxes, AppData(),
                                          {folder.File("D") + "\\Quorva", DefaultFolder(), folder.File("E") + "\\Quorva"},
                                          [this] { return today; }, &entryDialogs, &searchDialogs, &settingsDialogs, &filePicker,
                                          [] { return std::string(kNow); }, &secrets, &workstation, &journalDialogs},
            /*quitOnDestroy=*/false);
        entryDialogs.SetOwner(form->hwnd());
        searchDialogs.SetOwner(form->hwnd());
        settingsDialogs.SetOwner(form->hwnd());
        journalDialogs.SetOwner(form->hwnd());
        ShowWindow(form->hwnd(), SW_SHOW);
        return *form;
    }

    void Close()
    {
        SendMessageW(form->hwnd(), WM_CLOSE, 0, 0);
        form.reset();
    }

    // The store under test, beside the register's own connection to it.
    std::unique_ptr<quorva::StoreConnection> Store()
    {
        Win32FileSystem().CreateFolders(DefaultFolder());
        auto connection = testStore->Open();
        quorva::EnsureDocumentTable(*connection);
        return connection;
    }
    void Sql(const std::string& statement) { Store()->Execute(statement); }

    std::string Stored(const char* column, std::int64_t id)
    {
        auto result = Store()->Query(SqlStatement{"select * from Quorva where id=?", {id}});
        if (result->CountRows() == 0) return "<none>";
        return result->TextAt(result->ColumnIndex(column));
    }

    void AddRecord(const std::string& swrq, const std::string& ycp, const std::string& title)
    {
        quorva::RecordFields fields{};
        fields[static_cast<int>(quorva::Column::swrq)] = swrq;
        fields[static_cast<int>(quorva::Column::ycp)] = ycp;
        fields[static_cast<int>(quorva::Column::wjbt)] = title;
        Store()->Execute(quorva::InsertRecordStatement(fields));
    }

    void Click(int id) { SendMessageW(form->Control(id), BM_CLICK, 0, 0); }
    bool Checked(int id) { return SendMessageW(form->Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    int RowCount() { return ListView_GetItemCount(form->Control(kList)); }
    int SelectedRow() { return ListView_GetNextItem(form->Control(kList), -1, LVNI_SELECTED); }
    std::string Cell(int row, int column)
    {
        wchar_t buffer[512] = {};
        ListView_GetItemText(form->Control(kList), row, column, buffer, 512);
        return Narrow(buffer);
    }
    // The receipt or handling counter, wherever the store keeps it.
    std::string Counter(const char* key)
    {
        if (!TestsOnServer()) return IniValue(key);
        auto result = Store()->Query(SqlStatement{"SELECT value FROM QuorvaCounter WHERE name = ?", {std::string(key)}});
        return result->CountRows() && !result->TextAt(0).empty() ? result->TextAt(0) : "<missing>";
    }
    std::string IniValue(const char* key)
    {
        wchar_t buffer[256] = {};
        GetPrivateProfileStringW(L"Option", Widen(key).c_str(), L"<missing>", buffer, 256, Widen(Ini()).c_str());
        return Narrow(buffer);
    }

    TempFolder folder;
    quorva::CivilDate today = kToday;
    Win32FileSystem fileSystem;
    Win32ProfileStore profileStore;
    MarkingSecretBox secrets;
    std::unique_ptr<quorva::Store> testStore;
    ScriptedPrompter prompter;
    Win32PickListEditorFactory pickListEditors;
    Win32EntryDialogFactory entryDialogs{nullptr, pickListEditors};
    Win32SearchDialogFactory searchDialogs;
    Win32SettingsDialogFactory settingsDialogs;
    ScriptedFilePicker filePicker;
    Win32Workstation workstation;
    Win32JournalDialogs journalDialogs;
    std::unique_ptr<TmainForm> form;
};

}  // namespace main_form_test

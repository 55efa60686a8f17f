#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "register/win32/history/history_form.h"
#include "register/win32/history/recycle_bin_form.h"
#include "tests/win32/main_form_fixture.h"

namespace {

using namespace main_form;
using main_form_test::MainFormTest;

// The shown dialog of that caption, waited for.
HWND Await(const wchar_t* caption)
{
    for (int i = 0; i < 500; ++i) {
        const HWND found = FindWindowW(L"#32770", caption);
        if (found && IsWindowVisible(found)) return found;
        Sleep(10);
    }
    return nullptr;
}

void Press(HWND dialog, HWND button)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::wstring ListText(HWND list, int row, int column)
{
    wchar_t text[256] = {};
    ListView_GetItemText(list, row, column, text, 256);
    return text;
}

TEST_F(MainFormTest, ADeletedRecordComesBackFromTheBinWithItsHistory)
{
    AddRecord("20261201", "", "一");
    AddRecord("20261202", "", "二");
    Sql("update Quorva set fwrq='20261201'");  // the edit command reads it
    Start();
    ListView_SetItemState(form->Control(kList), 1, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageW(form->hwnd(), WM_COMMAND, kMenuDeleteSelected, 0);
    ASSERT_EQ(RowCount(), 1);

    std::wstring binTitle;
    std::thread clerk([&] {
        const HWND bin = Await(L"回收站");
        const HWND list = GetDlgItem(bin, TRecycleBinForm::kList);
        binTitle = ListText(list, 0, 9);
        ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
        Press(bin, GetDlgItem(bin, TRecycleBinForm::kRestore));
        for (int i = 0; i < 500 && ListView_GetItemCount(list) > 0; ++i) Sleep(10);
        Press(bin, GetDlgItem(bin, TRecycleBinForm::kClose));
    });
    SendMessageW(form->hwnd(), WM_COMMAND, kMenuRecycleBin, 0);
    clerk.join();
    EXPECT_EQ(binTitle, L"二");
    EXPECT_EQ(prompter.shown.back().text, "已还原 1 条记录。");
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Cell(1, 8), "二");

    std::vector<std::wstring> history;
    clerk = std::thread([&] {
        const HWND edit = Await(L"编辑记录");
        Press(edit, FindWindowExW(edit, nullptr, L"Button", L"修改记录"));
        const HWND shown = Await(L"修改记录");
        const HWND list = GetDlgItem(shown, THistoryForm::kList);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            history.push_back(ListText(list, row, 3) + L" " + ListText(list, row, 4));
        }
        if (ListText(list, 0, 1).empty()) history.push_back(L"nobody");
        Press(shown, GetDlgItem(shown, THistoryForm::kClose));
        for (int i = 0; i < 500 && IsWindow(shown); ++i) Sleep(10);
        PostMessageW(edit, WM_COMMAND, IDCANCEL, 0);
    });
    ListView_SetItemState(form->Control(kList), 1, LVIS_SELECTED, LVIS_SELECTED);
    Click(kEditRecord);
    clerk.join();
    EXPECT_EQ(history, (std::vector<std::wstring>{L"删除 2", L"还原 2"}));
}

}  // namespace

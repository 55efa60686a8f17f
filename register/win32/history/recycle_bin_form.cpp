#include "register/win32/history/recycle_bin_form.h"

#include <commctrl.h>

#include <algorithm>

#include "register/win32/history/journal_list.h"

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 520;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 28;

const struct {
    int id;
    const char* caption;
    void (quorva::RecycleBinPresenter::*click)(quorva::RecycleBinView&);
} kButtons[] = {
    {TRecycleBinForm::kRestore, "还原", &quorva::RecycleBinPresenter::RestoreClick},
    {TRecycleBinForm::kPurge, "彻底删除", &quorva::RecycleBinPresenter::PurgeClick},
    {TRecycleBinForm::kEmpty, "清空回收站", &quorva::RecycleBinPresenter::EmptyClick},
};

}  // namespace

void TRecycleBinForm::ShowModal()
{
    const DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    RunModal(owner_, quorva::kRecycleBinCaption, style, kWidth, kHeight);
}

bool TRecycleBinForm::OnInit()
{
    const HWND list =
        AddControl(WC_LISTVIEWW, "", LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP, kList, WS_EX_CLIENTEDGE);
    journal_list::AddColumns(list, quorva::BinLayout());
    for (const auto& button : kButtons) AddControl(WC_BUTTONW, button.caption, BS_PUSHBUTTON | WS_TABSTOP, button.id);
    AddControl(WC_BUTTONW, "关闭", BS_PUSHBUTTON | WS_TABSTOP, kClose);
    quorva::RunCommand(presenter_.prompter(), [&] { presenter_.FormShow(*this); });
    return true;
}

void TRecycleBinForm::ShowEntries(const quorva::JournalRows& rows)
{
    rows_ = &rows;
    journal_list::Show(Control(kList), rows);
}

std::vector<std::size_t> TRecycleBinForm::SelectedEntries() const
{
    std::vector<std::size_t> selected;
    for (int row = ListView_GetNextItem(Control(kList), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(Control(kList), row, LVNI_SELECTED)) {
        selected.push_back(static_cast<std::size_t>(row));
    }
    return selected;
}

void TRecycleBinForm::OnLayout(int width, int height)
{
    const int margin = Scale(kMargin);
    const int button = Scale(kButtonWidth);
    const int buttonsTop = height - margin - Scale(kButtonHeight);
    MoveWindow(Control(kList), margin, margin, width - 2 * margin, std::max(0, buttonsTop - 2 * margin), TRUE);
    int x = margin;
    for (const auto& entry : kButtons) {
        MoveWindow(Control(entry.id), x, buttonsTop, button, Scale(kButtonHeight), TRUE);
        x += button + margin;
    }
    MoveWindow(Control(kClose), width - margin - button, buttonsTop, button, Scale(kButtonHeight), TRUE);
}

bool TRecycleBinForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    result = 0;
    switch (message) {
    case WM_NOTIFY:
        return rows_ && journal_list::FillCell(*reinterpret_cast<const NMHDR*>(lParam), Control(kList), *rows_);
    case WM_CLOSE:
        Close(IDCANCEL);
        return true;
    case WM_COMMAND:
        for (const auto& button : kButtons) {
            if (LOWORD(wParam) != button.id) continue;
            quorva::RunCommand(presenter_.prompter(), [&] { (presenter_.*button.click)(*this); });
            return true;
        }
        if (LOWORD(wParam) != kClose && LOWORD(wParam) != IDCANCEL) return false;
        Close(IDCANCEL);
        return true;
    default:
        return false;
    }
}

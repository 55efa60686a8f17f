#include "register/win32/search/search_form.h"

#include <commctrl.h>

#include "register/core/entry/pick_list.h"
#include "register/core/text/text_encoding.h"
#include "register/win32/platform/clipboard.h"

using quorva::SearchValueKind;

namespace {

constexpr int kModeIdBase = 1000;
constexpr int kValueIdBase = 1100;
constexpr int kLabelIdBase = 1200;
constexpr int kSeparatorId = 1300;
constexpr UINT_PTR kModeSubclass = 1;
constexpr UINT_PTR kDigitsSubclass = 1;

constexpr int kWidth = 685;
constexpr int kHeight = 533;
constexpr int kMargin = 10;
constexpr int kRowHeight = 30;
constexpr int kControlHeight = 23;
constexpr int kLabelWidth = 72;
constexpr int kModeWidth = 88;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kDropDownHeight = 200;

// Build-order rows (from 0) as they stand on screen: the left column, then
// the right one. Creation follows it, so Tab does too.
constexpr int kLeftColumn[] = {0, 1, 24, 4, 2, 3, 5, 6, 7, 8, 9, 10, 22};
constexpr int kRightColumn[] = {23, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, quorva::kDeadlineSearchRow};

// ES_NUMBER drops typed characters only; what is pasted keeps its digits.
LRESULT CALLBACK DigitsPasteProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_PASTE) {
        const std::wstring digits = Widen(quorva::DigitsOf(Narrow(ClipboardText(hwnd))));
        SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(digits.c_str()));
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, DigitsPasteProc, kDigitsSubclass);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Modes are chosen from the list only: typed characters are dropped.
LRESULT CALLBACK ModeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_CHAR) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, ModeProc, kModeSubclass);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

TForm2::TForm2(HWND owner, std::vector<std::string> names) : owner_(owner), names_(std::move(names)) {}

int TForm2::ModeId(int row)
{
    return kModeIdBase + row;
}

int TForm2::ValueId(int row)
{
    return kValueIdBase + row;
}

bool TForm2::ShowModal()
{
    const DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    return RunModal(owner_, quorva::kSearchCaption, style, kWidth, kHeight) == IDOK;
}

void TForm2::AddRow(int row)
{
    const quorva::SearchRow& layout = quorva::kSearchRows[static_cast<std::size_t>(row)];
    labels_[static_cast<std::size_t>(row)] = AddControl(WC_STATICW, layout.label, SS_RIGHT, kLabelIdBase + row);

    const HWND mode = AddControl(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, ModeId(row));
    for (const char* item : quorva::kSearchModeItems) {
        SendMessageW(mode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    }
    SetWindowSubclass(mode, ModeProc, kModeSubclass, 0);

    switch (layout.kind) {
    case SearchValueKind::Edit:
        AddControl(WC_EDITW, "", ES_AUTOHSCROLL | WS_TABSTOP, ValueId(row), WS_EX_CLIENTEDGE);
        break;
    case SearchValueKind::Digits: {
        const HWND digits =
            AddControl(WC_EDITW, "", ES_AUTOHSCROLL | ES_NUMBER | WS_TABSTOP, ValueId(row), WS_EX_CLIENTEDGE);
        SetWindowSubclass(digits, DigitsPasteProc, kDigitsSubclass, 0);
        break;
    }
    case SearchValueKind::OneLineMemo: {
        const HWND memo = AddControl(WC_EDITW, "", ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_TABSTOP,
                                     ValueId(row), WS_EX_CLIENTEDGE);
        LeaveTabAndEscToDialog(memo);
        break;
    }
    case SearchValueKind::DropDown: {
        const HWND box = AddControl(WC_COMBOBOXW, "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
                                    ValueId(row));
        FillItems(box, layout.preset == quorva::SearchPreset::PersonnelNames ? names_
                                                                          : quorva::SearchPresetItems(layout.preset));
        break;
    }
    }
}

bool TForm2::OnInit()
{
    labels_.assign(quorva::kSearchRowCount, nullptr);
    for (int row : kLeftColumn) AddRow(row);
    for (int row : kRightColumn) AddRow(row);
    AddControl(WC_STATICW, "", SS_ETCHEDHORZ, kSeparatorId);
    AddControl(WC_BUTTONW, "确定", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
    // Not IDCANCEL: Esc sends IDCANCEL, and Esc does nothing here.
    AddControl(WC_BUTTONW, "取消", BS_PUSHBUTTON | WS_TABSTOP, IDABORT);
    return true;
}

void TForm2::OnLayout(int width, int height)
{
    const int margin = Scale(kMargin);
    const int row = Scale(kRowHeight);
    const int control = Scale(kControlHeight);
    const int label = Scale(kLabelWidth);
    const int mode = Scale(kModeWidth);
    const int columnWidth = (width - 3 * margin) / 2;
    const auto placeColumn = [&](const int* rows, std::size_t count, int left) {
        for (std::size_t i = 0; i < count; ++i) {
            const int r = rows[i];
            const int top = margin + static_cast<int>(i) * row;
            MoveWindow(labels_[static_cast<std::size_t>(r)], left, top + Scale(4), label, control, TRUE);
            MoveWindow(Control(ModeId(r)), left + label, top, mode, Scale(kDropDownHeight), TRUE);
            const bool dropDown = quorva::kSearchRows[static_cast<std::size_t>(r)].kind == SearchValueKind::DropDown;
            MoveWindow(Control(ValueId(r)), left + label + mode + Scale(4), top,
                       columnWidth - label - mode - Scale(4), dropDown ? Scale(kDropDownHeight) : control, TRUE);
        }
    };
    placeColumn(kLeftColumn, std::size(kLeftColumn), margin);
    placeColumn(kRightColumn, std::size(kRightColumn), 2 * margin + columnWidth);

    const int buttonsTop = height - margin - Scale(kButtonHeight);
    MoveWindow(Control(kSeparatorId), margin, buttonsTop - margin, width - 2 * margin, 2, TRUE);
    const int button = Scale(kButtonWidth);
    MoveWindow(Control(IDABORT), width - margin - button, buttonsTop, button, Scale(kButtonHeight), TRUE);
    MoveWindow(Control(IDOK), width - 2 * margin - 2 * button, buttonsTop, button, Scale(kButtonHeight), TRUE);
}

void TForm2::CaptureInputs()
{
    for (int row = 0; row < quorva::kSearchRowCount; ++row) {
        quorva::SearchInput& input = inputs_[static_cast<std::size_t>(row)];
        input.mode = static_cast<int>(SendMessageW(Control(ModeId(row)), CB_GETCURSEL, 0, 0));
        input.value = WindowTextUtf8(Control(ValueId(row)));
    }
}

bool TForm2::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result)
{
    result = 0;
    if (message == WM_CLOSE) {
        Close(IDCANCEL);
        return true;
    }
    if (message != WM_COMMAND) return false;
    switch (LOWORD(wParam)) {
    case IDOK:
        CaptureInputs();
        Close(IDOK);
        return true;
    case IDABORT:
        Close(IDCANCEL);
        return true;
    case IDCANCEL:
        return true;
    default:
        return false;
    }
}

std::unique_ptr<quorva::SearchDialog> Win32SearchDialogFactory::CreateSearchDialog(const std::string& namesListPath,
                                                                                 quorva::Prompter&)
{
    return std::make_unique<TForm2>(owner_, quorva::ReadPickList(namesListPath));
}

#include "register/win32/history/history_form.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "register/core/history/change_history.h"
#include "register/win32/automation/table_exporter.h"
#include "register/win32/history/journal_list.h"
#include "register/win32/platform/date_picker.h"

namespace {

const char* const kRecordCaption = "修改记录";
const char* const kLogCaption = "操作日志";
const char* const kAllActions = "全部";
const char* const kExportCommand = "导出";
const char* const kLogWorkbookPrefix = "操作日志_";

constexpr int kWidth = 900;
constexpr int kHeight = 560;
constexpr int kMargin = 8;
constexpr int kRowHeight = 30;
constexpr int kControlHeight = 23;
constexpr int kLabelWidth = 40;
constexpr int kPickerWidth = 110;
constexpr int kActionWidth = 110;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kDropDownHeight = 240;
constexpr int kFilterLabelBase = 1100;

}  // namespace

THistoryForm::THistoryForm(HWND owner, quorva::JournalRows rows) : owner_(owner), rows_(std::move(rows)) {}

THistoryForm::THistoryForm(HWND owner, quorva::HistoryLog& log) : owner_(owner), log_(&log) {}

void THistoryForm::ShowModal()
{
    const DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    RunModal(owner_, log_ ? kLogCaption : kRecordCaption, style, kWidth, kHeight);
}

void THistoryForm::CreateFilterRow()
{
    AddControl(WC_STATICW, "从", SS_RIGHT, kFilterLabelBase);
    AddControl(DATETIMEPICK_CLASSW, "", DTS_SHORTDATEFORMAT | WS_TABSTOP, kFrom);
    AddControl(WC_STATICW, "到", SS_RIGHT, kFilterLabelBase + 1);
    AddControl(DATETIMEPICK_CLASSW, "", DTS_SHORTDATEFORMAT | WS_TABSTOP, kTo);
    // As the history's times read.
    for (int picker : {kFrom, kTo}) SendMessageW(Control(picker), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyy-MM-dd"));
    AddControl(WC_STATICW, "操作", SS_RIGHT, kFilterLabelBase + 2);
    const HWND actions = AddControl(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kAction);
    std::vector<std::string> items{kAllActions};
    for (quorva::ChangeAction action : quorva::kAllActions) items.emplace_back(quorva::ActionName(action));
    FillItems(actions, items);
    AddControl(WC_BUTTONW, "查询", BS_DEFPUSHBUTTON | WS_TABSTOP, kQuery);
    AddControl(WC_BUTTONW, kExportCommand, BS_PUSHBUTTON | WS_TABSTOP, kExport);
}

bool THistoryForm::OnInit()
{
    if (log_) CreateFilterRow();
    const HWND list = AddControl(WC_LISTVIEWW, "", LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP, kList,
                                 WS_EX_CLIENTEDGE);
    journal_list::AddColumns(list, quorva::HistoryLayout());
    AddControl(WC_BUTTONW, "关闭", BS_PUSHBUTTON | WS_TABSTOP, kClose);
    if (log_) {
        ShowFilter(log_->DefaultFilter());
        Query();
    } else {
        journal_list::Show(list, rows_);
    }
    return true;
}

void THistoryForm::ShowFilter(const quorva::HistoryFilter& filter)
{
    for (const auto& [id, date] : {std::pair{kFrom, filter.from}, std::pair{kTo, filter.to}}) {
        ShowPickerDate(Control(id), date);
    }
    SendMessageW(Control(kAction), CB_SETCURSEL, 0, 0);
}

quorva::HistoryFilter THistoryForm::Filter() const
{
    quorva::HistoryFilter filter{PickedDate(Control(kFrom)), PickedDate(Control(kTo)), std::nullopt};
    const LRESULT chosen = SendMessageW(Control(kAction), CB_GETCURSEL, 0, 0);
    if (chosen > 0 && chosen <= static_cast<LRESULT>(std::size(quorva::kAllActions))) {
        filter.action = quorva::kAllActions[chosen - 1];
    }
    return filter;
}

void THistoryForm::Query()
{
    quorva::RunCommand(log_->prompter(), [&] {
        rows_ = log_->Read(Filter());
        journal_list::Show(Control(kList), rows_);
    });
}

void THistoryForm::Export()
{
    quorva::RunCommand(log_->prompter(), [&] { ExportTable(rows_.Sheet(), log_->templatePath(), hwnd(), kExportCommand, kLogWorkbookPrefix); });
}

void THistoryForm::OnLayout(int width, int height)
{
    const int margin = Scale(kMargin);
    const int control = Scale(kControlHeight);
    const int button = Scale(kButtonWidth);
    int top = margin;
    if (log_) {
        int x = margin;
        const auto place = [&](int id, int w, int h, int down = 0) {
            MoveWindow(Control(id), x, top + down, w, h, TRUE);
            x += w + Scale(4);
        };
        const auto placeLabel = [&](int id) { place(id, Scale(kLabelWidth), control, Scale(4)); };
        placeLabel(kFilterLabelBase);
        place(kFrom, Scale(kPickerWidth), control);
        placeLabel(kFilterLabelBase + 1);
        place(kTo, Scale(kPickerWidth), control);
        placeLabel(kFilterLabelBase + 2);
        place(kAction, Scale(kActionWidth), Scale(kDropDownHeight));
        x += margin;
        place(kQuery, button, Scale(kButtonHeight));
        place(kExport, button, Scale(kButtonHeight));
        top += Scale(kRowHeight) + Scale(4);
    }
    const int buttonsTop = height - margin - Scale(kButtonHeight);
    MoveWindow(Control(kList), margin, top, width - 2 * margin, std::max(0, buttonsTop - margin - top), TRUE);
    MoveWindow(Control(kClose), width - margin - button, buttonsTop, button, Scale(kButtonHeight), TRUE);
}

bool THistoryForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    result = 0;
    switch (message) {
    case WM_NOTIFY:
        return journal_list::FillCell(*reinterpret_cast<const NMHDR*>(lParam), Control(kList), rows_);
    case WM_CLOSE:
        Close(IDCANCEL);
        return true;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kQuery:
            Query();
            return true;
        case kExport:
            Export();
            return true;
        case kClose:
        case IDCANCEL:
            Close(IDCANCEL);
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

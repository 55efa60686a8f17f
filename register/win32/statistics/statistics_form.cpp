#include "register/win32/statistics/statistics_form.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "register/core/shell/main_window_presenter.h"
#include "register/core/text/text_encoding.h"
#include "register/win32/automation/table_exporter.h"
#include "register/win32/platform/date_picker.h"
#include "register/win32/platform/dpi.h"

using namespace statistics_form;

namespace {

const char* const kExportTableCommand = "导出表格";
const char* const kStatisticsWorkbookPrefix = "收文统计_";
const wchar_t* const kWindowClass = L"TStatisticsForm";
constexpr int kInitialWidth = 960;
constexpr int kInitialHeight = 620;
constexpr int kMinimumWidth = 720;
constexpr int kMinimumHeight = 420;
constexpr int kMargin = 8;
constexpr int kRowHeight = 24;
constexpr int kLabelWidth = 44;
constexpr int kComboWidth = 120;
constexpr int kDateWidth = 140;
constexpr int kToWidth = 24;
constexpr int kButtonWidth = 88;
constexpr int kDropDownHeight = 240;
constexpr int kTableWidth = 320;
constexpr int kGroupColumnWidth = 150;
constexpr int kNumberColumnWidth = 70;

// The date pickers show as much of the date as the period's kind uses.
const wchar_t* const kDateFormats[] = {L"yyyy'年'", L"yyyy'年'M'月'", L"yyyy'年'M'月'd'日'"};

void RegisterWindowClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSEXW existing{sizeof existing};
    if (GetClassInfoExW(instance, kWindowClass, &existing)) return;
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
}

// Centred on the owner, and whole on the owner's screen however large the
// scaling makes it.
RECT CenteredOn(HWND owner, int width, int height)
{
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    width = std::min(width, static_cast<int>(work.right - work.left));
    height = std::min(height, static_cast<int>(work.bottom - work.top));
    RECT over{};
    GetWindowRect(owner, &over);
    const int left = std::clamp(static_cast<int>(over.left + over.right - width) / 2, static_cast<int>(work.left),
                                static_cast<int>(work.right) - width);
    const int top = std::clamp(static_cast<int>(over.top + over.bottom - height) / 2, static_cast<int>(work.top),
                               static_cast<int>(work.bottom) - height);
    return RECT{left, top, left + width, top + height};
}

void SetListColumn(HWND list, int column, const std::string& caption, int width, int format)
{
    std::wstring text = Widen(caption);
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    item.fmt = format;
    item.pszText = text.data();
    item.cx = width;
    item.iSubItem = column;
    if (!SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item))) {
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    }
}

void SetListCell(HWND list, int row, int column, const std::string& text)
{
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = wide.data();
    const UINT message = column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW;
    SendMessageW(list, message, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

TStatisticsForm::TStatisticsForm(HWND owner, quorva::MainWindowPresenter& main)
    : main_(main), presenter_(*this, main)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterWindowClass(instance, WindowProc);
    dpi_ = static_cast<int>(WindowDpi(owner));
    const RECT place = CenteredOn(owner, Scale(kInitialWidth), Scale(kInitialHeight));
    CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, Widen(quorva::kStatisticsCaption).c_str(),
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place.left, place.top, place.right - place.left,
                    place.bottom - place.top, owner, nullptr, instance, this);
    if (!hwnd_) return;
    prompter_.SetOwner(hwnd_);
    ShowWindow(hwnd_, SW_SHOW);
    Guarded([&] { presenter_.Count(); });
}

TStatisticsForm::~TStatisticsForm()
{
    if (hwnd_) DestroyWindow(hwnd_);
}

void TStatisticsForm::BringToFront() const
{
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
}

void TStatisticsForm::SaveChart(const std::string& path) const
{
    chart_->SaveAsPng(path);
}

LRESULT CALLBACK TStatisticsForm::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* form = static_cast<TStatisticsForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TStatisticsForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    const LRESULT result = form->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        form->hwnd_ = nullptr;
    }
    return result;
}

template <typename Command>
void TStatisticsForm::Guarded(Command&& command)
{
    quorva::RunCommand(prompter_, std::forward<Command>(command));
}

LRESULT TStatisticsForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateControls();
        UpdateFonts();
        ShowPeriod();
        Layout();
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{Scale(kMinimumWidth), Scale(kMinimumHeight)};
        return 0;
    case WM_DPICHANGED: {
        dpi_ = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        UpdateFonts();
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        Layout();
        return 0;
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

HWND TStatisticsForm::AddControl(const wchar_t* className, const std::string& text, DWORD style, int id,
                                 DWORD exStyle)
{
    return CreateWindowExW(exStyle, className, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void TStatisticsForm::CreateControls()
{
    AddControl(WC_STATICW, "时段：", SS_RIGHT | SS_CENTERIMAGE, kPeriodLabel);
    const HWND kinds = AddControl(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kPeriodKind);
    for (const char* item : quorva::kPeriodKindItems) {
        SendMessageW(kinds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    }
    AddControl(DATETIMEPICK_CLASSW, "", WS_TABSTOP, kFrom);
    AddControl(WC_STATICW, "至", SS_CENTER | SS_CENTERIMAGE, kToLabel);
    AddControl(DATETIMEPICK_CLASSW, "", WS_TABSTOP, kTo);
    AddControl(WC_STATICW, "分组：", SS_RIGHT | SS_CENTERIMAGE, kGroupingLabel);
    const HWND groupings = AddControl(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kGrouping);
    for (const quorva::GroupingChoice& choice : quorva::kGroupings) {
        SendMessageW(groupings, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(choice.item).c_str()));
    }
    SendMessageW(groupings, CB_SETCURSEL, static_cast<WPARAM>(presenter_.grouping()), 0);
    AddControl(WC_BUTTONW, "刷新", BS_PUSHBUTTON | WS_TABSTOP, kRefresh);
    AddControl(WC_BUTTONW, kExportTableCommand, BS_PUSHBUTTON | WS_TABSTOP, kExportTable);
    AddControl(WC_BUTTONW, "保存图表", BS_PUSHBUTTON | WS_TABSTOP, kSaveChart);
    AddControl(WC_STATICW, "", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, kSummary);
    const HWND table = AddControl(WC_LISTVIEWW, "", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                                  kTable, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(table, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    chart_ = std::make_unique<BarChart>(hwnd_, kChart, [this](int group) {
        Guarded([&] { presenter_.RowClick(static_cast<std::size_t>(group)); });
    });
}

int TStatisticsForm::Scale(int pixels) const
{
    return MulDiv(pixels, dpi_, USER_DEFAULT_SCREEN_DPI);
}

void TStatisticsForm::UpdateFonts()
{
    const LOGFONTW message = MessageFontForDpi(static_cast<UINT>(dpi_));
    font_.Reset(CreateFontIndirectW(&message));
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
    const HWND table = Control(kTable);
    const std::string heading = quorva::ChoiceOf(presenter_.grouping()).heading;
    SetListColumn(table, 0, heading, Scale(kGroupColumnWidth), LVCFMT_LEFT);
    SetListColumn(table, 1, quorva::kCountHeading, Scale(kNumberColumnWidth), LVCFMT_RIGHT);
    SetListColumn(table, 2, quorva::kShareHeading, Scale(kNumberColumnWidth), LVCFMT_RIGHT);
    InvalidateRect(chart_->hwnd(), nullptr, FALSE);
}

void TStatisticsForm::Layout()
{
    if (!chart_) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int margin = Scale(kMargin);
    const int row = Scale(kRowHeight);
    int x = margin;
    // A range's second date takes room only while it is shown.
    const auto place = [&](int id, int width, int height) {
        if (!(GetWindowLongW(Control(id), GWL_STYLE) & WS_VISIBLE)) return;
        MoveWindow(Control(id), x, margin, Scale(width), height, TRUE);
        x += Scale(width) + margin;
    };
    place(kPeriodLabel, kLabelWidth, row);
    place(kPeriodKind, kComboWidth, Scale(kDropDownHeight));
    place(kFrom, kDateWidth, row);
    place(kToLabel, kToWidth, row);
    place(kTo, kDateWidth, row);
    place(kGroupingLabel, kLabelWidth, row);
    place(kGrouping, kComboWidth, Scale(kDropDownHeight));

    const int secondTop = margin * 2 + row;
    x = margin;
    for (const int id : {kRefresh, kExportTable, kSaveChart}) {
        MoveWindow(Control(id), x, secondTop, Scale(kButtonWidth), row, TRUE);
        x += Scale(kButtonWidth) + margin;
    }
    MoveWindow(Control(kSummary), x, secondTop, std::max(0, static_cast<int>(client.right) - x - margin), row, TRUE);

    const int bodyTop = secondTop + row + margin;
    const int bodyHeight = std::max(0, static_cast<int>(client.bottom) - bodyTop - margin);
    const int tableWidth = Scale(kTableWidth);
    MoveWindow(Control(kTable), margin, bodyTop, tableWidth, bodyHeight, TRUE);
    const int chartLeft = margin * 2 + tableWidth;
    MoveWindow(chart_->hwnd(), chartLeft, bodyTop, std::max(0, static_cast<int>(client.right) - chartLeft - margin),
               bodyHeight, TRUE);
}

// The period's kind and days as the presenter holds them; the pickers'
// change notices are not answered meanwhile.
void TStatisticsForm::ShowPeriod()
{
    const quorva::StatisticsPeriod& period = presenter_.period();
    const int kind = static_cast<int>(period.kind);
    showingPeriod_ = true;
    SendMessageW(Control(kPeriodKind), CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
    for (const int id : {kFrom, kTo}) DateTime_SetFormat(Control(id), kDateFormats[kind]);
    ShowPickerDate(Control(kFrom), period.from);
    ShowPickerDate(Control(kTo), period.to);
    const int rangeShown = period.kind == quorva::PeriodKind::Range ? SW_SHOW : SW_HIDE;
    ShowWindow(Control(kToLabel), rangeShown);
    ShowWindow(Control(kTo), rangeShown);
    showingPeriod_ = false;
    // The row's controls move; what stood where they were is painted afresh.
    Layout();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

quorva::StatisticsPeriod TStatisticsForm::PeriodShown() const
{
    const auto kind = static_cast<quorva::PeriodKind>(SendMessageW(Control(kPeriodKind), CB_GETCURSEL, 0, 0));
    return {kind, PickedDate(Control(kFrom)), PickedDate(Control(kTo))};
}

void TStatisticsForm::OnCommand(int id, int code)
{
    switch (id) {
    case kPeriodKind:
        if (code == CBN_SELCHANGE) {
            const quorva::PeriodKind kind = PeriodShown().kind;
            Guarded([&] { presenter_.ChoosePeriodKind(kind); });
            ShowPeriod();
        }
        break;
    case kGrouping:
        if (code == CBN_SELCHANGE) {
            const LRESULT chosen = SendMessageW(Control(kGrouping), CB_GETCURSEL, 0, 0);
            if (chosen < 0 || chosen >= quorva::kGroupingCount) break;
            Guarded([&] { presenter_.ChooseGrouping(quorva::kGroupings[static_cast<std::size_t>(chosen)].grouping); });
        }
        break;
    case kRefresh:
        if (code == BN_CLICKED) Guarded([&] { presenter_.Count(); });
        break;
    case kExportTable:
        if (code == BN_CLICKED) {
            Guarded([&] { ExportTable(presenter_.Sheet(), main_.state().templatePath, hwnd_, kExportTableCommand,
                                     kStatisticsWorkbookPrefix); });
        }
        break;
    case kSaveChart:
        if (code == BN_CLICKED) Guarded([&] { AskAndSaveChart(); });
        break;
    case IDCANCEL:
        // Esc, as in any window of its kind.
        DestroyWindow(hwnd_);
        break;
    default:
        break;
    }
}

LRESULT TStatisticsForm::OnNotify(const NMHDR& header)
{
    const bool datePicked = header.code == DTN_DATETIMECHANGE &&
                            (header.idFrom == static_cast<UINT_PTR>(kFrom) || header.idFrom == static_cast<UINT_PTR>(kTo));
    if (datePicked && !showingPeriod_) {
        const quorva::StatisticsPeriod period = PeriodShown();
        Guarded([&] { presenter_.ChoosePeriod(period); });
        return 0;
    }
    if (header.idFrom != static_cast<UINT_PTR>(kTable)) return 0;
    int row = -1;
    if (header.code == NM_CLICK) row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
    if (header.code == NM_RETURN) row = ListView_GetNextItem(Control(kTable), -1, LVNI_SELECTED);
    if (row >= 0) Guarded([&] { presenter_.RowClick(static_cast<std::size_t>(row)); });
    return 0;
}

void TStatisticsForm::AskAndSaveChart()
{
    std::wstring path = Widen(presenter_.ChartFileName());
    path.resize(MAX_PATH, L'\0');
    const std::wstring filter = Widen("PNG 图片") + L'\0' + L"*.png" + L'\0';
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd_;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"png";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetSaveFileNameW(&dialog)) return;
    SaveChart(Narrow(path.c_str()));
}

void TStatisticsForm::ShowTable(const quorva::StatisticsTable& table, const std::vector<quorva::StatisticsRow>& rows,
                                const std::string& summary)
{
    const HWND list = Control(kTable);
    SetListColumn(list, 0, quorva::ChoiceOf(presenter_.grouping()).heading, Scale(kGroupColumnWidth), LVCFMT_LEFT);
    ListView_DeleteAllItems(list);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i);
        SetListCell(list, row, 0, rows[i].label);
        SetListCell(list, row, 1, rows[i].count);
        SetListCell(list, row, 2, rows[i].share);
    }
    SetWindowTextW(Control(kSummary), Widen(summary).c_str());
    std::vector<std::string> labels;
    std::vector<std::int64_t> values;
    for (const quorva::StatisticsGroup& group : table.groups) {
        labels.push_back(group.label);
        values.push_back(group.count);
    }
    chart_->Show(std::move(labels), std::move(values));
}

void TStatisticsForm::ShowNotice(const std::string& text)
{
    ListView_DeleteAllItems(Control(kTable));
    SetWindowTextW(Control(kSummary), Widen(text).c_str());
    chart_->ShowNotice(text);
}

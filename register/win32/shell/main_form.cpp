#include "register/win32/shell/main_form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>

#include "register/core/shell/scaled_layout.h"
#include "register/core/text/text_encoding.h"
#include "register/win32/automation/list_exporter.h"
#include "register/win32/platform/dpi.h"
#include "register/win32/shell/main_form_ids.h"
#include "register/win32/shell/web_link.h"

using namespace main_form;

namespace {

const wchar_t* const kWindowClass = L"TmainForm";
constexpr int kInitialWidth = 1022;
constexpr int kInitialHeight = 731;
constexpr int kMinimumWidth = 640;
constexpr int kMinimumHeight = 400;
constexpr UINT_PTR kMaximizeTimer = 1;
// A shared register looks for other clerks' changes about once a second.
constexpr UINT_PTR kFollowTimer = 2;
constexpr UINT kFollowIntervalMs = 1000;
constexpr UINT kMaximizeDelayMs = 1;
constexpr UINT_PTR kDaysEditSubclass = 1;

constexpr int kBannerHeight = 64;
constexpr int kBannerNoticeWidth = 420;
constexpr int kFilterRowPadding = 1;
constexpr int kFilterGap = 10;
constexpr int kCommandPanelPadding = 8;
constexpr int kMargin = 8;
constexpr int kSmallestGap = 2;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 28;
constexpr int kSystemMenuWidth = kButtonWidth + 10;
// A button's frame and the space it keeps around its caption.
constexpr int kButtonCaptionPadding = 16;
constexpr int kCheckBoxHeight = 22;
constexpr int kCheckBoxGlyph = 20;
constexpr int kCheckBoxCaptionPadding = 6;
constexpr int kTitlePointSize = 20;

const char* const kRightsNotice = "© 2026 Marivel 开发组  保留所有权利";
const char* const kVersion = "v08.06.15";
const char* const kRecentCaptionHead = "仅显示最近";
const char* const kRecentCaptionGap = "            ";

struct ListColumn {
    const char* caption;
    int width;
};

// The record row's caption, its 25 texts and the hidden ID, in list order.
const ListColumn kListColumns[] = {
    {"序号", 30},       {"收文日期", 75},  {"收文编号", 80},     {"来文单位", 90},  {"文种", 42},
    {"来文字号", 80},   {"密级", 40},      {"缓急", 40},         {"文件标题", 260}, {"拟办意见", 160},
    {"请办意见", 160},  {"批办意见", 160}, {"办文编号", 80},     {"已呈批", 60},    {"经办人", 80},
    {"发文日期", 100},  {"主送单位", 100}, {"条码编号", 100},    {"条码制作单位", 100}, {"制作日期", 100},
    {"发布层次", 100},  {"已办结", 60},    {"存档号", 100},      {"录入人", 80},    {"办理结果", 100},
    {"备注", 100},      {"", 0},           {"办理时限", 75},
};
constexpr int kListColumnCount = static_cast<int>(std::size(kListColumns));
constexpr int kIdColumn = quorva::RecordList::kCellCount - 1;
// After the hidden ID, so every column before it keeps its place.
constexpr int kDeadlineColumn = kIdColumn + 1;
constexpr int kIdColumnMaxWidth = 1;
constexpr UINT_PTR kListSubclass = 1;

struct FilterControl {
    int id;
    quorva::FilterBox box;
    const char* caption;
};
const FilterControl kFilterControls[] = {
    {kUnsubmitted, quorva::FilterBox::Unsubmitted, "仅显示未呈批"},
    {kSubmitted, quorva::FilterBox::Submitted, "仅显示已呈批"},
    {kUnfinished, quorva::FilterBox::Unfinished, "仅显示未办结"},
    {kFinished, quorva::FilterBox::Finished, "仅显示已办结"},
    {kRecentOnly, quorva::FilterBox::RecentOnly, "仅显示最近            天收文记录"},
    {kOverdueOnly, quorva::FilterBox::OverdueOnly, "仅显示超期未办结"},
};

// The filter row from left to right; 系统设置 keeps the right edge.
constexpr int kFilterRow[] = {kQueryMode, kUnsubmitted, kSubmitted, kUnfinished, kFinished, kRecentOnly, kOverdueOnly,
                             kSystemMenu};
// The text colour of a row by its deadline; finished and undated rows keep
// the list's own.
const COLORREF kOverdueColour = RGB(220, 0, 0);
const COLORREF kDueSoonColour = RGB(230, 120, 0);
// Room for "超期未办结 N 件" at the right of the status bar.
constexpr int kOverduePanelWidth = 160;

const struct {
    int id;
    const char* caption;
} kCommandButtons[] = {
    {kConnectScanner, "连接扫描枪"}, {kNewRecord, "录入登记"}, {kEditRecord, "编辑记录"},
    {kSearch, "查询"},               {kDelete, "删除"},         {kExportList, "导出列表"},
    {kStatistics, "统计"},            {kExit, "退出"},  // last: it keeps the right edge
};

std::wstring WindowText(HWND hwnd)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool IsChecked(HWND button)
{
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSEXW existing{sizeof existing};
    if (GetClassInfoExW(instance, kWindowClass, &existing)) return;
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
}

RECT CenteredOnDesktop(int width, int height)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + std::max(0, (static_cast<int>(work.right - work.left) - width) / 2);
    const int top = work.top + std::max(0, (static_cast<int>(work.bottom - work.top) - height) / 2);
    return RECT{left, top, left + width, top + height};
}

// A drag or double click on the ID column's divider, or a change that
// would make it wider than its maximum.
bool IsIdColumnWidening(const NMHEADERW& notice)
{
    if (notice.iItem != kIdColumn) return false;
    switch (notice.hdr.code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA:
        return true;
    case HDN_ITEMCHANGINGW:
    case HDN_ITEMCHANGINGA:
        return notice.pitem && (notice.pitem->mask & HDI_WIDTH) && notice.pitem->cxy > kIdColumnMaxWidth;
    default:
        return false;
    }
}

}  // namespace

TmainForm::TmainForm(quorva::MainWindowEnvironment environment, bool quitOnDestroy,
                     quorva::Prompter* ownerlessPrompter)
    : prompter_(environment.prompter),
      scannerLink_(std::make_unique<ScannerServiceLink>(environment.prompter, ownerlessPrompter)),
      quitOnDestroy_(quitOnDestroy)
{
    unstoredScans_ = std::make_unique<quorva::UnstoredScans>(environment.fileSystem, environment.now);
    presenter_ = std::make_unique<quorva::MainWindowPresenter>(*this, std::move(environment));
    scanIntake_ = std::make_unique<quorva::ScanIntake>(*presenter_, *this, scanSignals_, *unstoredScans_);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterWindowClass(instance, WindowProc);
    const RECT place = CenteredOnDesktop(kInitialWidth, kInitialHeight);
    CreateWindowExW(0, kWindowClass, Widen(quorva::kApplicationTitle).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    place.left, place.top, kInitialWidth, kInitialHeight, nullptr, nullptr, instance, this);
}

TmainForm::~TmainForm()
{
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK TmainForm::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* form = static_cast<TmainForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TmainForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    const LRESULT result = form->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        form->hwnd_ = nullptr;
    }
    return result;
}

void TmainForm::Guarded(void (TmainForm::*handler)())
{
    quorva::RunCommand(prompter_, [&] { (this->*handler)(); });
}

template <typename Command>
void TmainForm::Guarded(Command&& command)
{
    quorva::RunCommand(prompter_, std::forward<Command>(command));
}

LRESULT TmainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        Guarded(&TmainForm::FormCreate);
        return 0;
    case WM_SHOWWINDOW:
        if (wParam && !shown_) {
            shown_ = true;
            OnFirstShow();
        }
        break;
    case WM_TIMER:
        if (wParam == kMaximizeTimer) {
            // The first tick maximizes once and stops.
            KillTimer(hwnd_, kMaximizeTimer);
            ShowWindow(hwnd_, SW_MAXIMIZE);
            return 0;
        }
        if (wParam == kFollowTimer) {
            // An open dialog or box disables this window: the list waits.
            if (IsWindowEnabled(hwnd_) && !GetWindow(hwnd_, GW_ENABLEDPOPUP)) presenter_->FollowChanges();
            return 0;
        }
        break;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_GETMINMAXINFO: {
        // Never larger than the screen: a minimum beyond it would make even
        // the maximized window spill over the edges at large text scales.
        const RECT work = WorkAreaNear(hwnd_);
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = POINT{std::min<LONG>(Scale(kMinimumWidth), work.right - work.left),
                                       std::min<LONG>(Scale(kMinimumHeight), work.bottom - work.top)};
        return 0;
    }
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
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == list_) {
            ShowListMenu(lParam);
            return 0;
        }
        break;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_ENDSESSION:
        // At logoff or shutdown no WM_CLOSE comes: the session simply ends.
        if (wParam) Guarded([&] { presenter_->FormClose(); });
        return 0;
    case WM_DESTROY:
        if (quitOnDestroy_) PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void TmainForm::FormCreate()
{
    dpi_ = static_cast<int>(WindowDpi(hwnd_));
    CreateBanner();
    CreateFilterRow();
    CreateRecordList();
    CreateCommandPanel();
    UpdateFonts();
    Layout();
    // The first tick of this timer maximizes the window once it is up.
    SetTimer(hwnd_, kMaximizeTimer, kMaximizeDelayMs, nullptr);
    SetTimer(hwnd_, kFollowTimer, kFollowIntervalMs, nullptr);
    scans_ = std::make_unique<ScanListener>(
        hwnd_, [this] { return scanIntake_->WantsScans() ? ScanPolicy::TakeDocuments : ScanPolicy::Ignore; },
        [this](const ScanArrival& scan) { Guarded([&] { scanIntake_->ScanArrived(scan.text); }); });
    presenter_->FormCreate();
    scannerLink_->FormCreate();
}

HWND TmainForm::AddControl(const wchar_t* className, const std::string& text, DWORD style, int id, DWORD exStyle)
{
    return CreateWindowExW(exStyle, className, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void TmainForm::CreateBanner()
{
    const HWND picture = AddControl(WC_STATICW, "", SS_ICON, kBannerPicture);
    SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_INFORMATION)), 0);
    AddControl(WC_STATICW, quorva::kApplicationTitle, SS_LEFT, kBannerTitle);
    AddControl(WC_STATICW, kRightsNotice, SS_RIGHT, kBannerNotice);
    const std::string link = std::string("<a>") + kMakerHomePage + "</a>";
    AddControl(WC_LINK, link, WS_TABSTOP | LWS_RIGHT, kBannerLink);
}

void TmainForm::CreateFilterRow()
{
    const HWND queryMode = AddControl(WC_BUTTONW, "查询模式", BS_AUTOCHECKBOX | WS_TABSTOP, kQueryMode);
    for (const FilterControl& filter : kFilterControls) {
        AddControl(WC_BUTTONW, filter.caption, BS_AUTOCHECKBOX | WS_TABSTOP | WS_CLIPSIBLINGS, filter.id);
    }
    const HWND days = AddControl(WC_EDITW, quorva::kDefaultRecentDays, ES_CENTER | ES_AUTOHSCROLL | WS_TABSTOP,
                                 kDays, WS_EX_CLIENTEDGE);
    SetWindowPos(days, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowSubclass(days, DaysEditProc, kDaysEditSubclass, 0);
    const HWND systemMenu = AddControl(WC_BUTTONW, "系统设置", BS_PUSHBUTTON | WS_TABSTOP, kSystemMenu);
    AttachButtonPicture(systemMenu);

    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
    std::wstring hint = Widen("在查询模式下，可通过扫描二维条码查询数据库记录。");
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(queryMode);
    tool.lpszText = hint.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TmainForm::AttachButtonPicture(HWND button)
{
    const int size = SystemMetricForDpi(SM_CXSMICON, static_cast<UINT>(dpi_));
    buttonPictures_.Reset(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
    const HICON picture = static_cast<HICON>(LoadImageW(nullptr, IDI_WINLOGO, IMAGE_ICON, size,
                                                        size, LR_SHARED));
    ImageList_AddIcon(buttonPictures_.get(), picture ? picture : LoadIconW(nullptr, IDI_APPLICATION));
    BUTTON_IMAGELIST pictures{buttonPictures_.get(), RECT{0, 0, Scale(4), 0}, BUTTON_IMAGELIST_ALIGN_RIGHT};
    SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&pictures));
}

void TmainForm::CreateRecordList()
{
    // Owner data: the list asks for the texts of the rows it paints, so a
    // reload costs what reading the table costs, however long the register.
    list_ = AddControl(WC_LISTVIEWW, "",
                       LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, kList,
                       WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    SetWindowSubclass(list_, ListProc, kListSubclass, 0);
    for (int c = 0; c < kListColumnCount; ++c) {
        std::wstring caption = Widen(kListColumns[c].caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = caption.data();
        column.cx = Scale(kListColumns[c].width);
        column.iSubItem = c;
        SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
}

void TmainForm::CreateCommandPanel()
{
    for (const auto& button : kCommandButtons) AddControl(WC_BUTTONW, button.caption, BS_PUSHBUTTON | WS_TABSTOP, button.id);
    AddControl(STATUSCLASSNAMEW, "", SBARS_SIZEGRIP, kStatusBar);
    PlaceStatusPanels(kInitialWidth);
    SetStatusText(quorva::kNotBackedUp);
}

int TmainForm::Scale(int pixels) const
{
    return MulDiv(pixels, dpi_, USER_DEFAULT_SCREEN_DPI);
}

int TmainForm::TextWidth(const std::wstring& text, HFONT font) const
{
    const HDC dc = GetDC(hwnd_);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(hwnd_, dc);
    return size.cx;
}

void TmainForm::UpdateFonts()
{
    const LOGFONTW message = MessageFontForDpi(static_cast<UINT>(dpi_));
    font_.Reset(CreateFontIndirectW(&message));
    LOGFONTW title = message;
    title.lfHeight = -MulDiv(kTitlePointSize, dpi_, 72);
    title.lfWeight = FW_BOLD;
    titleFont_.Reset(CreateFontIndirectW(&title));
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
    SendMessageW(Control(kBannerTitle), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), TRUE);
}

void TmainForm::Layout()
{
    if (!list_) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int margin = Scale(kMargin);

    const HWND status = Control(kStatusBar);
    SendMessageW(status, WM_SIZE, 0, 0);
    PlaceStatusPanels(width);
    RECT statusRect{};
    GetWindowRect(status, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;

    const int icon = SystemMetricForDpi(SM_CXICON, static_cast<UINT>(dpi_));
    MoveWindow(Control(kBannerPicture), margin, margin, icon, icon, TRUE);
    const int titleLeft = margin * 2 + icon;
    const int titleWidth = TextWidth(Widen(quorva::kApplicationTitle), titleFont_.get()) + margin;
    MoveWindow(Control(kBannerTitle), titleLeft, margin, titleWidth, Scale(40), TRUE);
    // Right-aligned beside the title, never over it.
    const int noticeLeft = std::max(titleLeft + titleWidth + margin, width - margin - Scale(kBannerNoticeWidth));
    const int noticeWidth = std::max(0, width - margin - noticeLeft);
    MoveWindow(Control(kBannerNotice), noticeLeft, margin, noticeWidth, Scale(20), TRUE);
    MoveWindow(Control(kBannerLink), noticeLeft, margin + Scale(24), noticeWidth, Scale(20), TRUE);

    const int rowTop = Scale(kBannerHeight);
    const quorva::ButtonRowLayout filterRow = LayOutFilterRow(width);
    PlaceFilterRow(filterRow, rowTop);

    const quorva::ButtonRowLayout panel = LayOutCommandPanel(width);
    const int panelTop = client.bottom - statusHeight - panel.height;
    for (std::size_t i = 0; i < panel.buttons.size(); ++i) {
        const quorva::ButtonBox& box = panel.buttons[i];
        MoveWindow(Control(kCommandButtons[i].id), box.left, panelTop + box.top, box.width, box.height, TRUE);
    }

    const int listTop = rowTop + filterRow.height;
    MoveWindow(list_, margin, listTop, std::max(0, width - 2 * margin), std::max(0, panelTop - listTop), TRUE);
}

quorva::ButtonRowLayout TmainForm::LayOutFilterRow(int width) const
{
    std::vector<int> widths;
    for (int id : kFilterRow) {
        const bool button = id == kSystemMenu;
        widths.push_back(button ? Scale(kSystemMenuWidth) : CheckBoxWidth(WindowText(Control(id))));
    }
    // The check boxes keep their captions' widths.
    const quorva::ButtonRowMetrics metrics{Scale(kMargin), Scale(kFilterGap), Scale(kSmallestGap), 0,
                                           Scale(kButtonHeight), Scale(kFilterRowPadding)};
    return quorva::LayOutButtonRow(width, widths, metrics);
}

int TmainForm::CheckBoxWidth(const std::wstring& caption) const
{
    return Scale(kCheckBoxGlyph) + TextWidth(caption, font_.get()) + Scale(kCheckBoxCaptionPadding);
}

void TmainForm::PlaceFilterRow(const quorva::ButtonRowLayout& row, int top)
{
    for (std::size_t i = 0; i < row.buttons.size(); ++i) {
        const quorva::ButtonBox& box = row.buttons[i];
        if (kFilterRow[i] == kSystemMenu) {
            MoveWindow(Control(kSystemMenu), box.left, top + box.top, box.width, box.height, TRUE);
            continue;
        }
        const int boxTop = top + box.top + (box.height - Scale(kCheckBoxHeight)) / 2;
        MoveWindow(Control(kFilterRow[i]), box.left, boxTop, box.width, Scale(kCheckBoxHeight), TRUE);
        if (kFilterRow[i] == kRecentOnly) PlaceDaysBox(box.left, boxTop);
    }
}

// The days box covers the blanks in the middle of its check box's caption.
void TmainForm::PlaceDaysBox(int checkBoxLeft, int top)
{
    const int gapLeft = checkBoxLeft + Scale(kCheckBoxGlyph) + TextWidth(Widen(kRecentCaptionHead), font_.get());
    const int gapWidth = TextWidth(Widen(kRecentCaptionGap), font_.get());
    MoveWindow(Control(kDays), gapLeft + Scale(2), top, std::max(gapWidth - Scale(4), Scale(24)),
               Scale(kCheckBoxHeight), TRUE);
}

quorva::ButtonRowLayout TmainForm::LayOutCommandPanel(int width) const
{
    std::vector<int> captions;
    for (const auto& button : kCommandButtons) {
        captions.push_back(TextWidth(Widen(button.caption), font_.get()) + Scale(kButtonCaptionPadding));
    }
    const quorva::ButtonRowMetrics metrics{Scale(kMargin), Scale(kMargin), Scale(kSmallestGap), Scale(kButtonWidth),
                                           Scale(kButtonHeight), Scale(kCommandPanelPadding)};
    return quorva::LayOutButtonRow(width, captions, metrics);
}

// The backup note on the left, the overdue count at the right.
void TmainForm::PlaceStatusPanels(int width)
{
    int rightEdges[] = {std::max(0, width - Scale(kOverduePanelWidth)), -1};
    SendMessageW(Control(kStatusBar), SB_SETPARTS, std::size(rightEdges), reinterpret_cast<LPARAM>(rightEdges));
}

void TmainForm::OnFirstShow()
{
    // The ID column stays hidden and cannot be widened (see ListProc).
    ListView_SetColumnWidth(list_, kIdColumn, 0);
    Guarded([&] { presenter_->FormShow(); });
}

void TmainForm::OnClose()
{
    // The close always goes ahead; a failure to save is shown, not fatal.
    Guarded([&] { presenter_->FormClose(); });
    DestroyWindow(hwnd_);
}

void TmainForm::OnCommand(int id, int code)
{
    for (const FilterControl& filter : kFilterControls) {
        if (id == filter.id && code == BN_CLICKED) {
            const bool ticked = IsChecked(Control(id));
            Guarded([&] { presenter_->FilterBoxClick(filter.box, ticked); });
            return;
        }
    }
    switch (id) {
    case kQueryMode:
        if (code == BN_CLICKED) {
            const bool ticked = IsChecked(Control(kQueryMode));
            Guarded([&] { presenter_->CheckBox6Click(ticked); });
        }
        break;
    case kDays:
        if (code == EN_CHANGE) {
            const std::string text = Narrow(WindowText(Control(kDays)));
            Guarded([&] { presenter_->Edit1Change(text); });
        }
        break;
    case kSystemMenu:
        if (code == BN_CLICKED) ShowSystemMenu();
        break;
    case kExit:
        if (code == BN_CLICKED) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        break;
    case kNewRecord:
    case kMenuNewRecord:
        if (code == BN_CLICKED) Guarded([&] { presenter_->newbtnClick(); });
        break;
    case kEditRecord:
    case kMenuEditSelected:
        if (code == BN_CLICKED) Guarded([&] { presenter_->edtbtnClick(); });
        break;
    case kSearch:
        if (code == BN_CLICKED) Guarded([&] { presenter_->SearchClick(); });
        break;
    case kDelete:
        if (code == BN_CLICKED) ShowDeleteMenu();
        break;
    case kMenuDeleteSelected:
        Guarded([&] { presenter_->DeleteSelectedClick(); });
        break;
    case kMenuClearAll:
        Guarded([&] { presenter_->ClearAllClick(); });
        break;
    case kMenuBackup:
        Guarded([&] { presenter_->BackupClick(); });
        break;
    case kMenuRestore:
        Guarded([&] { presenter_->RestoreClick(); });
        break;
    case kMenuSettings:
        Guarded([&] { presenter_->SettingsClick(); });
        break;
    case kMenuHistoryLog:
        Guarded([&] { presenter_->HistoryLogClick(); });
        break;
    case kMenuRecycleBin:
        Guarded([&] { presenter_->RecycleBinClick(); });
        break;
    case kExportList:
        // The rows as the list shows them, normal or a search result.
        if (code == BN_CLICKED) {
            Guarded([&] {
                ExportList(presenter_->rows(), presenter_->state().templatePath, hwnd_, presenter_->deadlines());
            });
        }
        break;
    case kConnectScanner:
        if (code == BN_CLICKED) Guarded([&] { scannerLink_->ConnectClick(); });
        break;
    case kStatistics:
        if (code == BN_CLICKED) OpenStatistics();
        break;
    case kMenuHelp:
        OpenWebLink(kMakerHelpPage);
        break;
    case kMenuAbout:
        ShowAbout();
        break;
    default:
        // The export and scanner commands are attached by their own units.
        break;
    }
}

LRESULT TmainForm::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom == list_) {
        switch (header.code) {
        case LVN_GETDISPINFOW:
            OnListDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
            return 0;
        case LVN_ODFINDITEMW:
            return -1;
        case NM_CUSTOMDRAW:
            return OnListCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
        case NM_DBLCLK:
            if (reinterpret_cast<const NMITEMACTIVATE&>(header).iItem >= 0) {
                Guarded([&] { presenter_->edtbtnClick(); });
            }
            return 0;
        default:
            return 0;
        }
    }
    if (header.idFrom == static_cast<UINT_PTR>(kBannerLink) && (header.code == NM_CLICK || header.code == NM_RETURN)) {
        OpenWebLink(kMakerHomePage);
    }
    return 0;
}

void TmainForm::OnListDisplayInfo(NMLVDISPINFOW& info)
{
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !rows_ || item.iItem < 0 ||
        item.iItem >= static_cast<int>(rows_->size()) || item.cchTextMax <= 0) {
        return;
    }
    cellText_.clear();
    if (item.iSubItem == kDeadlineColumn) {
        cellText_ = quorva::DeadlineText(presenter_->deadlines().DeadlineOf(static_cast<std::size_t>(item.iItem)));
    } else if (item.iSubItem >= 0 && item.iSubItem < quorva::RecordList::kCellCount) {
        rows_->AppendCell(static_cast<std::size_t>(item.iItem), item.iSubItem, cellText_);
    } else {
        return;
    }
    // Only the cells being drawn are ever turned into UTF-16.
    const std::wstring wide = Widen(cellText_);
    const std::size_t count = std::min(wide.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::copy_n(wide.data(), count, item.pszText);
    item.pszText[count] = L'\0';
}

// Unfinished rows past their deadline in red, those due within two days in
// orange; the list draws every other row in its own colour.
LRESULT TmainForm::OnListCustomDraw(NMLVCUSTOMDRAW& draw)
{
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    switch (presenter_->deadlines().StateOf(draw.nmcd.dwItemSpec, presenter_->today())) {
    case quorva::DeadlineState::Overdue:
        draw.clrText = kOverdueColour;
        return CDRF_NEWFONT;
    case quorva::DeadlineState::DueSoon:
        draw.clrText = kDueSoonColour;
        return CDRF_NEWFONT;
    case quorva::DeadlineState::Normal:
        break;
    }
    return CDRF_DODEFAULT;
}

void TmainForm::ShowListMenu(LPARAM position)
{
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == -1) {
        RECT rect{};
        const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
        if (selected >= 0) ListView_GetItemRect(list_, selected, &rect, LVIR_LABEL);
        at = POINT{rect.left, rect.bottom};
        ClientToScreen(list_, &at);
    }
    MenuHandle menu;
    AppendMenuW(menu.get(), MF_STRING, kMenuNewRecord, Widen("收文录入").c_str());
    AppendMenuW(menu.get(), MF_STRING, kMenuEditSelected, Widen("编辑选定").c_str());
    AppendMenuW(menu.get(), MF_STRING, kMenuDeleteSelected, Widen("删除选定").c_str());
    AppendMenuW(menu.get(), MF_STRING, kMenuClearAll, Widen("全部清空").c_str());
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
}

void TmainForm::ShowSystemMenu()
{
    RECT button{};
    GetWindowRect(Control(kSystemMenu), &button);
    MenuHandle menu;
    AppendMenuW(menu.get(), MF_STRING, kMenuSettings, Widen("设置").c_str());
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kMenuBackup, Widen("备份").c_str());
    AppendMenuW(menu.get(), MF_STRING, kMenuRestore, Widen("恢复").c_str());
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kMenuHistoryLog, Widen("操作日志").c_str());
    AppendMenuW(menu.get(), MF_STRING, kMenuRecycleBin, Widen("回收站").c_str());
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kMenuHelp, Widen("帮助").c_str());
    AppendMenuW(menu.get(), MF_STRING, kMenuAbout, Widen("关于").c_str());
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0, hwnd_, nullptr);
}

void TmainForm::ShowDeleteMenu()
{
    RECT button{};
    GetWindowRect(Control(kDelete), &button);
    MenuHandle menu;
    AppendMenuW(menu.get(), MF_STRING, kMenuDeleteSelected, Widen("删除选中记录").c_str());
    AppendMenuW(menu.get(), MF_STRING, kMenuClearAll, Widen("清空全部记录").c_str());
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0, hwnd_, nullptr);
}

void TmainForm::ShowAbout()
{
    const std::string text = std::string("软件名称：") + quorva::kApplicationTitle + "\n\n版本号：" + kVersion + "\n\n" +
                             kRightsNotice;
    prompter_.Show(text, quorva::kApplicationTitle, quorva::PromptIcon::None, quorva::PromptButtons::Ok);
}

// The header tells the list, not the window, that a divider is being
// dragged or its width changes; not every list passes that on (Wine's does
// not), so the ID column's lock sits on the list itself.
LRESULT CALLBACK TmainForm::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->hwndFrom == ListView_GetHeader(hwnd) &&
        IsIdColumnWidening(*reinterpret_cast<const NMHEADERW*>(lParam))) {
        return TRUE;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, ListProc, kListSubclass);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TmainForm::DaysEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    // Only digits and backspace are typed into the days box.
    if (message == WM_CHAR && !quorva::IsDaysKeyAccepted(static_cast<char16_t>(wParam))) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, DaysEditProc, kDaysEditSubclass);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void TmainForm::ShowFilterChecks(const quorva::FilterState& filters)
{
    for (const FilterControl& filter : kFilterControls) {
        SendMessageW(Control(filter.id), BM_SETCHECK, filters.IsTicked(filter.box) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void TmainForm::SetDaysText(const std::string& text)
{
    const std::wstring wide = Widen(text);
    if (WindowText(Control(kDays)) != wide) SetWindowTextW(Control(kDays), wide.c_str());
}

void TmainForm::SetFiltersEnabled(bool enabled)
{
    for (const FilterControl& filter : kFilterControls) EnableWindow(Control(filter.id), enabled);
    EnableWindow(Control(kDays), enabled);
}

void TmainForm::SetStatusText(const std::string& text)
{
    const std::wstring wide = Widen(text);
    SendMessageW(Control(kStatusBar), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void TmainForm::ShowRows(const quorva::RecordList& rows)
{
    rows_ = &rows;
    // One row at most is selected and one focused; clearing "all rows" would
    // visit every row of a large list, which some lists do one by one.
    for (const UINT flag : {LVNI_SELECTED, LVNI_FOCUSED}) {
        const int row = ListView_GetNextItem(list_, -1, flag);
        if (row >= 0) ListView_SetItemState(list_, row, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    ListView_SetItemCountEx(list_, static_cast<int>(rows.size()), 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void TmainForm::SelectRow(int index)
{
    if (index < 0) return;
    ListView_SetItemState(list_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, index, FALSE);
}

int TmainForm::SelectedRow() const
{
    return ListView_GetNextItem(list_, -1, LVNI_SELECTED);
}

int TmainForm::TopRow() const
{
    return ListView_GetTopIndex(list_);
}

void TmainForm::ScrollToRow(int row)
{
    const int count = ListView_GetItemCount(list_);
    if (count == 0) return;
    RECT item{};
    ListView_GetItemRect(list_, 0, &item, LVIR_BOUNDS);
    const int target = std::min(std::max(row, 0), count - 1);
    ListView_Scroll(list_, 0, (target - ListView_GetTopIndex(list_)) * (item.bottom - item.top));
}

void TmainForm::RefreshRow(int index)
{
    ListView_RedrawItems(list_, index, index);
    UpdateWindow(list_);
}

void TmainForm::SetOverdueText(const std::string& text)
{
    const std::wstring wide = Widen(text);
    SendMessageW(Control(kStatusBar), SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(wide.c_str()));
}

void TmainForm::ShowQueryMode(bool ticked)
{
    SendMessageW(Control(kQueryMode), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// "统计" opens the statistics window, or brings the open one to the front.
void TmainForm::OpenStatistics()
{
    if (statistics_ && statistics_->hwnd()) {
        statistics_->BringToFront();
        return;
    }
    statistics_.reset();
    statistics_ = std::make_unique<TStatisticsForm>(hwnd_, *presenter_);
}

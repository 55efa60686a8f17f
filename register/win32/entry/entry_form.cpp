#include "register/win32/entry/entry_form.h"

#include <commctrl.h>

#include <algorithm>

#include "register/core/barcode/scan_intake.h"
#include "register/core/storage/store.h"
#include "register/core/text/text_encoding.h"
#include "register/core/storage/file_store.h"
#include "register/win32/automation/approval_form_printer.h"
#include "register/win32/history/history_form.h"

using quorva::EntryField;

namespace {

constexpr int kFieldIdBase = 1000;
constexpr int kLabelIdBase = 2000;
constexpr int kPrintButton = 3001;         // Button3 "打印呈批表"
constexpr int kNamesButtonForLrr = 3002;   // Button10 beside 录入人
constexpr int kNamesButtonForCpr = 3003;   // Button10 beside 经办人
constexpr int kAgencyButton = 3004;        // Button6, hidden
constexpr int kUrgencyChanged = 3005;      // posted to itself once 紧急 shows its new text
constexpr int kHistoryButton = 3006;       // "修改记录", after every other control in the tab order

constexpr int kWidth = 588;
constexpr int kHeight = 629;
constexpr int kMargin = 8;
constexpr int kRowHeight = 26;
constexpr int kControlHeight = 22;
constexpr int kLabelWidth = 64;
constexpr int kMemoMinHeight = 44;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 28;
constexpr int kDotsWidth = 24;
constexpr int kDropDownHeight = 200;
constexpr int kDeadlinePickerWidth = 120;
const COLORREF kRefusedColour = RGB(255, 0, 0);

const SYSTEMTIME kBuiltInDate{2014, 5, 0, 24, 12, 38, 36, 0};

const char* const kDocumentTypes[] = {"通知", "通报", "通告", "请示", "报告", "批复", "意见", "纪要", "函", "令",
                                      "命令", "决定", "决议", "议案", "指示", "公告", "公报", "规定", "条例"};
const char* const kFlags[] = {"是", "否"};

enum class Kind { Edit, Memo, DropDown, DatePicker };

struct FieldLayout {
    EntryField field;
    Kind kind;
};

// Creation order is the tab order a scanner types along.
const FieldLayout kFields[] = {
    {EntryField::eswrq, Kind::DatePicker}, {EntryField::eswzh, Kind::Edit},      {EntryField::ebwh, Kind::Edit},
    {EntryField::emmdj1, Kind::DropDown},  {EntryField::emmdj2, Kind::DropDown}, {EntryField::elwdw, Kind::Edit},
    {EntryField::ewh, Kind::Edit},         {EntryField::ewz, Kind::DropDown},    {EntryField::ejjcd, Kind::DropDown},
    {EntryField::ewjbt, Kind::Edit},       {EntryField::eybyj, Kind::Memo},      {EntryField::eqzpx, Kind::Memo},
    {EntryField::ezgpx, Kind::Memo},       {EntryField::efwrq, Kind::DatePicker}, {EntryField::ezsdw, Kind::Edit},
    {EntryField::etmbh, Kind::Edit},       {EntryField::etmzzdw, Kind::Edit},    {EntryField::ezzrq, Kind::Edit},
    {EntryField::efbcq, Kind::Edit},       {EntryField::elrr, Kind::DropDown},   {EntryField::eycp, Kind::DropDown},
    {EntryField::ecpr, Kind::DropDown},    {EntryField::eybj, Kind::DropDown},   {EntryField::ecdh, Kind::Edit},
    {EntryField::ebljg, Kind::Memo},       {EntryField::ebz, Kind::Memo},        {EntryField::eswzh1, Kind::DropDown},
};

const struct {
    EntryField field;
    const char* caption;
} kLabels[] = {
    {EntryField::eswrq, "收文日期："}, {EntryField::eswzh, "收文号："},   {EntryField::ebwh, "办文号："},
    {EntryField::emmdj1, "秘密："},    {EntryField::elwdw, "来文单位："}, {EntryField::ewh, "来文号："},
    {EntryField::ewz, "文种："},       {EntryField::ejjcd, "紧急："},     {EntryField::ewjbt, "文件标题："},
    {EntryField::eybyj, "拟办意见："}, {EntryField::eqzpx, "请办意见：\r\n(前置批示)"}, {EntryField::ezgpx, "批办意见："},
    {EntryField::efwrq, "发文日期："}, {EntryField::ezsdw, "主送单位："}, {EntryField::etmbh, "条码编号："},
    {EntryField::etmzzdw, "条码制作："}, {EntryField::ezzrq, "制作日期："}, {EntryField::efbcq, "发布层次："},
    {EntryField::elrr, "录入人："},    {EntryField::eycp, "已呈批："},    {EntryField::ecpr, "经办人："},
    {EntryField::eybj, "已办结："},    {EntryField::ecdh, "存档号："},    {EntryField::ebljg, "办理结果："},
    {EntryField::ebz, "备注："},      {EntryField::eblsx, "办理时限："},
};

Kind KindOf(EntryField field)
{
    for (const FieldLayout& profile : kFields) {
        if (profile.field == field) return profile.kind;
    }
    return Kind::Edit;
}

SYSTEMTIME ToSystemTime(const quorva::CivilDate& date)
{
    SYSTEMTIME time = kBuiltInDate;
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    return time;
}

// The deadline's picker has a check box: ticked, the date is set.
void SetPickerDate(HWND picker, const quorva::CivilDate& date)
{
    SYSTEMTIME time = ToSystemTime(date);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

// Unticked, with `date` shown greyed. Some pickers ignore an unset that
// comes without a time, and would keep the date set.
void ShowUnset(HWND picker, const quorva::CivilDate& date)
{
    SetPickerDate(picker, date);
    SYSTEMTIME time = ToSystemTime(date);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&time));
}

std::optional<quorva::CivilDate> PickerDate(HWND picker)
{
    SYSTEMTIME time{};
    if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) return std::nullopt;
    return quorva::CivilDate{time.wYear, time.wMonth, time.wDay};
}

template <std::size_t N>
std::vector<std::string> Items(const char* const (&items)[N])
{
    return std::vector<std::string>(std::begin(items), std::end(items));
}

}  // namespace

TForm1::TForm1(HWND owner, const quorva::EntryDialogContext& context, quorva::PickListEditorFactory& editors)
    : owner_(owner), context_(context), presenter_(*this, context_, editors), red_(CreateSolidBrush(kRefusedColour))
{
    items_[EntryField::ewz] = Items(kDocumentTypes);
    items_[EntryField::emmdj1] = Items(quorva::kClassificationLevels);
    items_[EntryField::emmdj2] = Items(quorva::kSecrecyPeriods);
    items_[EntryField::ejjcd] = Items(quorva::kUrgencies);
    items_[EntryField::eycp] = Items(kFlags);
    items_[EntryField::eybj] = Items(kFlags);
}

TForm1::~TForm1() = default;

int TForm1::ControlId(EntryField field)
{
    return kFieldIdBase + static_cast<int>(field);
}

bool TForm1::IsDatePicker(EntryField field) const
{
    return field == EntryField::eswrq || field == EntryField::efwrq;
}

void TForm1::SetText(EntryField field, const std::string& text)
{
    texts_[field] = text;
    if (!open_) return;
    if (field == EntryField::eblsx) {
        ShowDeadline();
    } else {
        SetWindowTextUtf8(Control(ControlId(field)), text);
    }
}

void TForm1::ShowNote(const std::string& note)
{
    if (open_) SetWindowTextUtf8(hwnd(), caption_ + "　" + note);
}

std::string TForm1::Text(EntryField field) const
{
    if (open_ && field == EntryField::eblsx) return quorva::DeadlineText(PickerDate(Control(ControlId(field))));
    if (open_) return WindowTextUtf8(Control(ControlId(field)));
    const auto found = texts_.find(field);
    return found == texts_.end() ? std::string() : found->second;
}

void TForm1::SetDate(EntryField field, const quorva::CivilDate& date)
{
    dates_[field] = date;
    undated_.erase(field);
    if (open_) {
        SYSTEMTIME time = ToSystemTime(date);
        SendMessageW(Control(ControlId(field)), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
}

quorva::CivilDate TForm1::Date(EntryField field) const
{
    if (open_) {
        SYSTEMTIME time{};
        SendMessageW(Control(ControlId(field)), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
        return quorva::CivilDate{time.wYear, time.wMonth, time.wDay};
    }
    const auto found = dates_.find(field);
    if (found != dates_.end()) return found->second;
    return quorva::CivilDate{kBuiltInDate.wYear, kBuiltInDate.wMonth, kBuiltInDate.wDay};
}

void TForm1::ClearDate(EntryField field)
{
    dates_.erase(field);
    undated_.insert(field);
    SYSTEMTIME ignored = kBuiltInDate;
    if (open_) SendMessageW(Control(ControlId(field)), DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&ignored));
}

bool TForm1::HasDate(EntryField field) const
{
    if (!open_) return !undated_.count(field);
    SYSTEMTIME time{};
    return SendMessageW(Control(ControlId(field)), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) == GDT_VALID;
}

bool TForm1::ShowModal()
{
    const DWORD style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;
    return RunModal(owner_, caption_, style, kWidth, kHeight) == IDOK;
}

void TForm1::AddLabel(const std::string& text)
{
    labels_.push_back(AddControl(WC_STATICW, text, SS_LEFT, kLabelIdBase + static_cast<int>(labels_.size())));
}

void TForm1::AddField(EntryField field)
{
    const int id = ControlId(field);
    HWND control = nullptr;
    switch (KindOf(field)) {
    case Kind::Edit:
        control = AddControl(WC_EDITW, "", ES_AUTOHSCROLL | WS_TABSTOP, id, WS_EX_CLIENTEDGE);
        break;
    case Kind::Memo:
        control = AddControl(WC_EDITW, "", ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, id,
                             WS_EX_CLIENTEDGE);
        LeaveTabAndEscToDialog(control);
        break;
    case Kind::DropDown:
        control = AddControl(WC_COMBOBOXW, "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, id);
        FillItems(control, items_[field]);
        break;
    case Kind::DatePicker:
        control = AddControl(DATETIMEPICK_CLASSW, "",
                             DTS_SHORTDATEFORMAT | WS_TABSTOP | (undated_.count(field) ? DTS_SHOWNONE : 0), id);
        SendMessageW(control, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyyMMdd"));
        SYSTEMTIME initial = kBuiltInDate;
        SendMessageW(control, DTM_SETSYSTEMTIME, undated_.count(field) ? GDT_NONE : GDT_VALID,
                     reinterpret_cast<LPARAM>(&initial));
        break;
    }
    (void)control;
}

void TForm1::AddButton(int id, const std::string& text, DWORD style)
{
    AddControl(WC_BUTTONW, text, BS_PUSHBUTTON | WS_TABSTOP | style, id);
}

void TForm1::CreateControls()
{
    for (const auto& label : kLabels) AddLabel(label.caption);
    for (const FieldLayout& profile : kFields) {
        AddField(profile.field);
        if (profile.field == EntryField::elrr) AddButton(kNamesButtonForLrr, "...");
        if (profile.field == EntryField::ecpr) AddButton(kNamesButtonForCpr, "...");
    }
    AddButton(IDOK, "确定", BS_DEFPUSHBUTTON);
    AddButton(IDCANCEL, "取消");
    AddButton(kPrintButton, "打印呈批表");
    // The agency codes are loaded and editable, but nothing on screen offers them.
    ShowWindow(Control(ControlId(EntryField::eswzh1)), SW_HIDE);
    AddButton(kAgencyButton, "...");
    ShowWindow(Control(kAgencyButton), SW_HIDE);
    // Last of all, so the tab order a scanner is programmed for stays.
    AddControl(DATETIMEPICK_CLASSW, "", DTS_SHORTDATEFORMAT | DTS_SHOWNONE | WS_TABSTOP, ControlId(EntryField::eblsx));
    SendMessageW(Control(ControlId(EntryField::eblsx)), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyyMMdd"));
    // After the deadline, the last of all.
    AddButton(kHistoryButton, "修改记录");
    if (context_.recordId == 0) ShowWindow(Control(kHistoryButton), SW_HIDE);
}

// The clerk's own deadline ticked; without one, the deadline the urgency
// gives shown unticked, so the clerk sees what the record will have.
void TForm1::ShowDeadline()
{
    const HWND picker = Control(ControlId(EntryField::eblsx));
    const std::optional<quorva::CivilDate> own = quorva::ParseCompactDate(texts_[EntryField::eblsx]);
    if (own) {
        SetPickerDate(picker, *own);
    } else {
        ShowUnset(picker, DerivedDeadlineShown());
    }
}

void TForm1::ShowDerivedDeadline()
{
    const HWND picker = Control(ControlId(EntryField::eblsx));
    if (!PickerDate(picker)) ShowUnset(picker, DerivedDeadlineShown());
}

// Without a derived deadline the received date stands there, greyed.
quorva::CivilDate TForm1::DerivedDeadlineShown() const
{
    const quorva::CivilDate received = Date(EntryField::eswrq);
    return quorva::DerivedDeadline(received.ToCompact(), Text(EntryField::ejjcd), context_.deadlineDays)
        .value_or(received);
}

void TForm1::ApplyValues()
{
    for (const auto& [field, date] : dates_) {
        SYSTEMTIME time = ToSystemTime(date);
        SendMessageW(Control(ControlId(field)), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
    for (const auto& [field, text] : texts_) {
        if (field != EntryField::eblsx) SetWindowTextUtf8(Control(ControlId(field)), text);
    }
    ShowDeadline();
}

void TForm1::CaptureValues()
{
    for (const FieldLayout& profile : kFields) {
        if (IsDatePicker(profile.field)) {
            if (HasDate(profile.field)) {
                dates_[profile.field] = Date(profile.field);
                undated_.erase(profile.field);
            } else {
                undated_.insert(profile.field);
            }
        } else {
            texts_[profile.field] = Text(profile.field);
        }
    }
    texts_[EntryField::eblsx] = Text(EntryField::eblsx);
}

bool TForm1::OnInit()
{
    CreateControls();
    open_ = true;
    ApplyValues();
    quorva::RunCommand(context_.prompter, [&] { presenter_.LoadPickLists(); });
    scans_ = std::make_unique<ScanListener>(hwnd(), [] { return ScanPolicy::TakeDocuments; },
                                            [this](const ScanArrival& scan) { TakeScan(scan); });
    // The program fills the received date and the two numbers itself; the
    // barcode's fields start with the classification, so a scan begins
    // there and its tab keystrokes walk on through the fields it carries.
    SetFocus(Control(ControlId(EntryField::emmdj1)));
    return false;
}

// A document barcode scanned into any field is spread over the barcode's
// fields instead; the handling fields stay for the clerk, and what does not
// fit is marked for the clerk to check.
void TForm1::TakeScan(const ScanArrival& scan)
{
    const std::optional<quorva::ScannedDocument> document = quorva::ParseDocumentBarcode(scan.text);
    if (!document) return;
    for (EntryField field : quorva::FillFromScan(*document, *this)) SetHighlighted(field, true);
    ShowDerivedDeadline();
    Focus(EntryField::eybyj);
}

void TForm1::OnLayout(int width, int /*height*/)
{
    const int margin = Scale(kMargin);
    const int row = Scale(kRowHeight);
    const int controlHeight = Scale(kControlHeight);
    const int label = Scale(kLabelWidth);
    const int inner = width - 2 * margin;
    const int cell = inner / 4;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int buttonsTop = client.bottom - margin - Scale(kButtonHeight);

    // Labels are made in kLabels order; find each one's window by field.
    const auto labelOf = [&](EntryField field) -> HWND {
        for (std::size_t i = 0; i < std::size(kLabels); ++i) {
            if (kLabels[i].field == field) return labels_[i];
        }
        return nullptr;
    };
    const auto place = [&](EntryField field, int x, int y, int w, int h) {
        if (HWND l = labelOf(field)) MoveWindow(l, x, y + Scale(3), label, h > controlHeight ? Scale(36) : controlHeight, TRUE);
        const HWND control = Control(ControlId(field));
        const int height = KindOf(field) == Kind::DropDown ? Scale(kDropDownHeight) : h;
        MoveWindow(control, x + label, y, w - label, height, TRUE);
    };
    const auto placeInCell = [&](EntryField field, int column, int y, int span = 1) {
        place(field, margin + column * cell, y, cell * span - Scale(4), controlHeight);
    };

    int y = margin;
    placeInCell(EntryField::eswrq, 0, y);
    placeInCell(EntryField::eswzh, 1, y);
    placeInCell(EntryField::ebwh, 2, y);
    {
        const int x = margin + 3 * cell;
        const int half = (cell - label - Scale(4)) / 2;
        if (HWND l = labelOf(EntryField::emmdj1)) MoveWindow(l, x, y + Scale(3), label, controlHeight, TRUE);
        MoveWindow(Control(ControlId(EntryField::emmdj1)), x + label, y, half, Scale(kDropDownHeight), TRUE);
        MoveWindow(Control(ControlId(EntryField::emmdj2)), x + label + half, y, half, Scale(kDropDownHeight), TRUE);
    }
    y += row;
    placeInCell(EntryField::elwdw, 0, y);
    placeInCell(EntryField::ewh, 1, y);
    placeInCell(EntryField::ewz, 2, y);
    placeInCell(EntryField::ejjcd, 3, y);
    y += row;
    place(EntryField::ewjbt, margin, y, inner, controlHeight);
    y += row;

    const int fixedBelow = 4 * row + Scale(kButtonHeight) + 2 * margin;
    const int memoSpace = std::max(Scale(kMemoMinHeight) * 4, buttonsTop - y - fixedBelow);
    const int memo = memoSpace / 4;
    for (EntryField field : {EntryField::eybyj, EntryField::eqzpx, EntryField::ezgpx}) {
        place(field, margin, y, inner, memo - Scale(4));
        y += memo;
    }
    placeInCell(EntryField::efwrq, 0, y);
    placeInCell(EntryField::ezsdw, 1, y);
    placeInCell(EntryField::etmbh, 2, y);
    y += row;
    placeInCell(EntryField::etmzzdw, 0, y);
    placeInCell(EntryField::ezzrq, 1, y);
    placeInCell(EntryField::efbcq, 2, y);
    const int dots = Scale(kDotsWidth);
    place(EntryField::elrr, margin + 3 * cell, y, cell - dots - Scale(6), controlHeight);
    MoveWindow(Control(kNamesButtonForLrr), margin + 4 * cell - dots - Scale(4), y, dots, controlHeight, TRUE);
    y += row;
    placeInCell(EntryField::eycp, 0, y);
    place(EntryField::ecpr, margin + cell, y, cell - dots - Scale(6), controlHeight);
    MoveWindow(Control(kNamesButtonForCpr), margin + 2 * cell - dots - Scale(4), y, dots, controlHeight, TRUE);
    placeInCell(EntryField::eybj, 2, y);
    placeInCell(EntryField::ecdh, 3, y);
    y += row;
    place(EntryField::ebljg, margin, y, inner / 2 - Scale(4), memo - Scale(4));
    place(EntryField::ebz, margin + inner / 2, y, inner / 2, memo - Scale(4));
    // Last on screen as in the tab order.
    y += memo;
    place(EntryField::eblsx, margin, y, label + Scale(kDeadlinePickerWidth), controlHeight);

    const int button = Scale(kButtonWidth);
    MoveWindow(Control(kPrintButton), margin, buttonsTop, button + Scale(16), Scale(kButtonHeight), TRUE);
    MoveWindow(Control(kHistoryButton), 2 * margin + button + Scale(16), buttonsTop, button, Scale(kButtonHeight), TRUE);
    MoveWindow(Control(IDCANCEL), width - margin - button, buttonsTop, button, Scale(kButtonHeight), TRUE);
    MoveWindow(Control(IDOK), width - 2 * margin - 2 * button, buttonsTop, button, Scale(kButtonHeight), TRUE);
}

bool TForm1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        result = 0;
        return true;
    case WM_CTLCOLOREDIT: {
        // By window, not by ID: a drop-down's own edit part has ID 1001 too.
        const HWND edit = reinterpret_cast<HWND>(lParam);
        for (EntryField field : highlighted_) {
            if (Control(ControlId(field)) != edit) continue;
            SetBkColor(reinterpret_cast<HDC>(wParam), kRefusedColour);
            result = reinterpret_cast<INT_PTR>(red_.get());
            return true;
        }
        return false;
    }
    case WM_NOTIFY: {
        const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
        if (notice->idFrom == static_cast<UINT_PTR>(ControlId(EntryField::eswrq)) && notice->code == DTN_DATETIMECHANGE) {
            ShowDerivedDeadline();
        }
        return false;
    }
    case WM_DESTROY:
        scans_.reset();
        open_ = false;
        return false;
    default:
        return false;
    }
}

void TForm1::OnCommand(int id, int code)
{
    switch (id) {
    case IDOK:
        quorva::RunCommand(context_.prompter, [&] {
            if (!presenter_.Button4Click()) return;
            CaptureValues();
            open_ = false;
            Close(IDOK);
        });
        break;
    case IDCANCEL:
        open_ = false;
        Close(IDCANCEL);
        break;
    case kNamesButtonForLrr:
    case kNamesButtonForCpr:
        quorva::RunCommand(context_.prompter, [&] { presenter_.Button10Click(); });
        break;
    case kPrintButton:
        quorva::RunCommand(context_.prompter, [&] {
            // Minimized, the dialog keeps its values and the document is in front.
            // Beside the records: the database file's folder, or for the
            // server the settings file's.
            const std::string formsFolder = quorva::FilledFormsFolder(
                context_.store ? context_.store->SideFolder() + "\\" : context_.databasePath);
            if (PrintApprovalForm(*this, context_.templatePath, formsFolder, context_.prompter, context_.deadlineDays)) {
                ShowWindow(hwnd(), SW_MINIMIZE);
            }
        });
        break;
    case kAgencyButton:
        quorva::RunCommand(context_.prompter, [&] { presenter_.Button6Click(); });
        break;
    case kHistoryButton:
        quorva::RunCommand(context_.prompter, [&] { ShowRecordHistory(); });
        break;
    default:
        if (id == ControlId(EntryField::ewz) && code == CBN_EDITUPDATE) CompleteDocumentType();
        if (id == ControlId(EntryField::ejjcd) && (code == CBN_EDITCHANGE || code == CBN_SELCHANGE)) {
            // A chosen item reaches the box's text only after this notice.
            PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(kUrgencyChanged, 0), 0);
        }
        if (id == kUrgencyChanged) ShowDerivedDeadline();
        break;
    }
}

// 文种 completes a typed beginning to the first matching item, with the
// added part selected so that the next keystroke replaces it.
void TForm1::CompleteDocumentType()
{
    if (completing_) return;
    const HWND box = Control(ControlId(EntryField::ewz));
    const std::wstring typed = Widen(WindowTextUtf8(box));
    const bool grew = typed.size() > documentTypeLength_;
    documentTypeLength_ = typed.size();
    if (!grew || typed.empty()) return;
    const LRESULT found = SendMessageW(box, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed.c_str()));
    if (found == CB_ERR) return;
    std::wstring item(static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXTLEN, found, 0)) + 1, L'\0');
    item.resize(static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXT, found, reinterpret_cast<LPARAM>(item.data()))));
    if (item.compare(0, typed.size(), typed) != 0) return;
    completing_ = true;
    SetWindowTextW(box, item.c_str());
    SendMessageW(box, CB_SETEDITSEL, 0, MAKELPARAM(typed.size(), -1));
    completing_ = false;
}

void TForm1::SetHighlighted(EntryField field, bool highlighted)
{
    const auto found = std::find(highlighted_.begin(), highlighted_.end(), field);
    if (highlighted && found == highlighted_.end()) highlighted_.push_back(field);
    if (!highlighted && found != highlighted_.end()) highlighted_.erase(found);
    InvalidateRect(Control(ControlId(field)), nullptr, TRUE);
}

void TForm1::Focus(EntryField field)
{
    SetFocus(Control(ControlId(field)));
}

void TForm1::SetItems(EntryField field, const std::vector<std::string>& items)
{
    items_[field] = items;
    if (!open_) return;
    const HWND box = Control(ControlId(field));
    const std::string text = WindowTextUtf8(box);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    FillItems(box, items);
    SetWindowTextUtf8(box, text);
}

void TForm1::ShowRecordHistory()
{
    quorva::FileStore file(context_.databasePath);
    quorva::Store& store = context_.store ? *context_.store : file;
    THistoryForm(hwnd(), quorva::RecordHistoryRows(store, context_.recordId)).ShowModal();
}

std::unique_ptr<quorva::EntryDialog> Win32EntryDialogFactory::CreateEntryDialog(const quorva::EntryDialogContext& context)
{
    return std::make_unique<TForm1>(owner_, context, editors_);
}

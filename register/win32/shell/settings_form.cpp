#include "register/win32/shell/settings_form.h"

#include <commctrl.h>

#include <algorithm>

#include "register/core/deadlines/deadline_settings.h"
#include "register/core/entry/number_counters.h"
#include "register/core/shell/prompter.h"
#include "register/core/shell/startup.h"
#include "register/core/text/text_encoding.h"
#include "register/win32/platform/win32_file_picker.h"

namespace {

constexpr UINT_PTR kNameKeySubclass = 1;
constexpr int kNameBox = TForm4::kNameBox;
constexpr int kNameLabel = TForm4::kNameLabel;

constexpr int kSettingsWidth = 405;
constexpr int kSettingsHeight = 331;
// The store's rows below the silent-entry box.
constexpr int kStoreRows = 5;
// Below them: the day counts, two lines of help, yearly numbering.
constexpr int kDeadlineRows = 4;
constexpr int kDeadlineHeadingWidth = 100;
constexpr int kUrgencyLabelWidth = 36;
constexpr int kDaysWidth = 48;
constexpr int kDaysMaxLength = 4;
constexpr int kFieldLabelWidth = 70;
constexpr int kPortWidth = 60;
constexpr int kActionWidth = 100;
constexpr int kNameWidth = 275;
constexpr int kNameHeight = 136;
constexpr int kMargin = 12;
constexpr int kLabelHeight = 18;
constexpr int kControlHeight = 23;
constexpr int kDotsWidth = 28;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 28;

constexpr DWORD kCloseBoxOnly = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

LRESULT CALLBACK NameKeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_CHAR && !quorva::IsFileNameKeyAccepted(static_cast<char16_t>(wParam))) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, NameKeyProc, kNameKeySubclass);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void PlaceButtons(HWND dialog, int width, int height, int margin, int button, int buttonHeight)
{
    const int top = height - margin - buttonHeight;
    MoveWindow(GetDlgItem(dialog, IDCANCEL), width - margin - button, top, button, buttonHeight, TRUE);
    MoveWindow(GetDlgItem(dialog, IDOK), width - 2 * margin - 2 * button, top, button, buttonHeight, TRUE);
}

}  // namespace

bool TForm4::ShowModal(HWND owner)
{
    return RunModal(owner, quorva::kFileNameCaption, kCloseBoxOnly, kNameWidth, kNameHeight) == IDOK;
}

bool TForm4::OnInit()
{
    AddControl(WC_STATICW, "请输入数据库文件名：", SS_LEFT, kNameLabel);
    const HWND box = AddControl(WC_EDITW, name_, ES_AUTOHSCROLL | WS_TABSTOP, kNameBox, WS_EX_CLIENTEDGE);
    SetWindowSubclass(box, NameKeyProc, kNameKeySubclass, 0);
    AddControl(WC_BUTTONW, "确定", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
    AddControl(WC_BUTTONW, "取消", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
    return true;
}

void TForm4::OnLayout(int width, int height)
{
    const int margin = Scale(kMargin);
    MoveWindow(Control(kNameLabel), margin, margin, width - 2 * margin, Scale(kLabelHeight), TRUE);
    MoveWindow(Control(kNameBox), margin, margin + Scale(kLabelHeight) + Scale(4), width - 2 * margin,
               Scale(kControlHeight), TRUE);
    PlaceButtons(hwnd(), width, height, margin, Scale(kButtonWidth), Scale(kButtonHeight));
}

// 取消, the close box and Esc all arrive as IDCANCEL.
bool TForm4::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result)
{
    const int id = LOWORD(wParam);
    if (message != WM_COMMAND || (id != IDOK && id != IDCANCEL)) return false;
    if (id == IDOK) name_ = WindowTextUtf8(Control(kNameBox));
    Close(id);
    result = 0;
    return true;
}

bool TForm3::ShowModal(const quorva::SettingsValues& values)
{
    values_ = values;
    const int height = kSettingsHeight + (kStoreRows + kDeadlineRows) * (kControlHeight + kMargin / 2);
    return RunModal(owner_, quorva::kSettingsCaption, kCloseBoxOnly, kSettingsWidth, height) == IDOK;
}

bool TForm3::OnInit()
{
    const auto row = [&](const char* label, int box, int button, const std::string& text) {
        AddControl(WC_STATICW, label, SS_LEFT, box + 100);
        AddControl(WC_EDITW, text, ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, box, WS_EX_CLIENTEDGE);
        AddControl(WC_BUTTONW, "...", BS_PUSHBUTTON | WS_TABSTOP, button);
    };
    row("数据库保存路径：", kFolder, kPickFolder, values_.folder);
    row("数据库文件名：", kFileName, kPickFileName, values_.fileName);
    row("呈批表模板：", kTemplate, kPickTemplate, values_.templatePath);
    AddControl(WC_BUTTONW, "开启扫描枪静默录入模式(直接录入数据库)", BS_AUTOCHECKBOX | WS_TABSTOP, kSilentEntry);
    SendMessageW(Control(kSilentEntry), BM_SETCHECK, values_.silentEntry ? BST_CHECKED : BST_UNCHECKED, 0);
    AddControl(WC_BUTTONW, "确定", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
    AddControl(WC_BUTTONW, "取消", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
    AddStoreControls();
    AddDeadlineControls();
    return true;
}

void TForm3::AddDeadlineControls()
{
    AddControl(WC_STATICW, "办理时限（天）：", SS_LEFT, kDeadlineHeading);
    for (std::size_t i = 0; i < quorva::kTimedUrgencies.size(); ++i) {
        const int box = kDeadlineDays + static_cast<int>(i);
        AddControl(WC_STATICW, std::string(quorva::kTimedUrgencies[i]) + "：", SS_RIGHT, box + 100);
        AddControl(WC_EDITW, quorva::DeadlineDaysText(values_.deadlineDays.days[i]),
                   ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, box, WS_EX_CLIENTEDGE);
        SendMessageW(Control(box), EM_SETLIMITTEXT, kDaysMaxLength, 0);
    }
    AddControl(WC_STATICW, quorva::kDeadlineDaysHelp, SS_LEFT, kDeadlineHelp);
    AddControl(WC_BUTTONW, quorva::kYearlyNumberingCaption, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kYearlyNumbering);
    SendMessageW(Control(kYearlyNumbering), BM_SETCHECK, values_.yearlyNumbering ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TForm3::PlaceDeadlineControls(int top, int width)
{
    const int margin = Scale(kMargin);
    const int control = Scale(kControlHeight);
    const int step = control + Scale(kMargin / 2);
    MoveWindow(Control(kDeadlineHeading), margin, top + Scale(3), Scale(kDeadlineHeadingWidth), control, TRUE);
    int x = margin + Scale(kDeadlineHeadingWidth);
    for (std::size_t i = 0; i < quorva::kTimedUrgencies.size(); ++i) {
        const int box = kDeadlineDays + static_cast<int>(i);
        MoveWindow(Control(box + 100), x, top + Scale(3), Scale(kUrgencyLabelWidth), control, TRUE);
        x += Scale(kUrgencyLabelWidth);
        MoveWindow(Control(box), x, top, Scale(kDaysWidth), control, TRUE);
        x += Scale(kDaysWidth) + Scale(kMargin / 2);
    }
    MoveWindow(Control(kDeadlineHelp), margin, top + step, width - 2 * margin, 2 * step - Scale(kMargin / 2), TRUE);
    MoveWindow(Control(kYearlyNumbering), margin, top + 3 * step, width - 2 * margin, control, TRUE);
}

void TForm3::TakeDeadlineControls()
{
    for (std::size_t i = 0; i < quorva::kTimedUrgencies.size(); ++i) {
        values_.deadlineDays.days[i] = quorva::DeadlineDaysFrom(WindowTextUtf8(Control(kDeadlineDays + static_cast<int>(i))));
    }
    values_.yearlyNumbering = SendMessageW(Control(kYearlyNumbering), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TForm3::AddStoreControls()
{
    const quorva::ServerLocation& server = values_.store.server;
    AddControl(WC_BUTTONW, quorva::kFileStoreChoice, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, kFileStore);
    AddControl(WC_BUTTONW, quorva::kServerStoreChoice, BS_AUTORADIOBUTTON, kServerStore);
    const bool onServer = values_.store.kind == quorva::StoreKind::Server;
    SendMessageW(Control(onServer ? kServerStore : kFileStore), BM_SETCHECK, BST_CHECKED, 0);
    const auto field = [&](const char* label, int id, const std::string& text, DWORD style) {
        AddControl(WC_STATICW, label, SS_LEFT, id + 100);
        AddControl(WC_EDITW, text, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP | style, id, WS_EX_CLIENTEDGE);
    };
    AddControl(WC_STATICW, "ODBC 驱动：", SS_LEFT, kDriver + 100);
    AddControl(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, kDriver);
    std::vector<std::string> drivers = actions_.Drivers();
    if (std::find(drivers.begin(), drivers.end(), server.driver) == drivers.end()) drivers.push_back(server.driver);
    FillItems(Control(kDriver), drivers);
    SendMessageW(Control(kDriver), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(Widen(server.driver).c_str()));
    field("主机：", kHost, server.host, 0);
    field("端口：", kPort, server.port, ES_NUMBER);
    field("数据库：", kDatabase, server.database, 0);
    field("用户：", kUser, server.user, 0);
    field("密码：", kPassword, server.password, ES_PASSWORD);
    AddControl(WC_BUTTONW, "测试连接", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kTestConnection);
    AddControl(WC_BUTTONW, "上传到服务器", BS_PUSHBUTTON | WS_TABSTOP, kUpload);
    StoreChoiceClick();
}

void TForm3::PlaceStoreControls(int top, int width)
{
    const int margin = Scale(kMargin);
    const int control = Scale(kControlHeight);
    const int step = control + Scale(kMargin / 2);
    const int label = Scale(kFieldLabelWidth);
    const int half = (width - 3 * margin) / 2;
    const auto place = [&](int id, int left, int row, int boxWidth) {
        MoveWindow(Control(id + 100), left, top + row * step + Scale(3), label, control, TRUE);
        MoveWindow(Control(id), left + label, top + row * step, boxWidth - label, control, TRUE);
    };
    MoveWindow(Control(kFileStore), margin, top, half, control, TRUE);
    MoveWindow(Control(kServerStore), 2 * margin + half, top, half, control, TRUE);
    MoveWindow(Control(kDriver + 100), margin, top + step + Scale(3), label, control, TRUE);
    MoveWindow(Control(kDriver), margin + label, top + step, width - 2 * margin - label, control * 8, TRUE);
    place(kHost, margin, 2, width - 3 * margin - Scale(kPortWidth) - label);
    place(kPort, width - margin - Scale(kPortWidth) - label, 2, Scale(kPortWidth) + label);
    place(kDatabase, margin, 3, half);
    place(kUser, 2 * margin + half, 3, half);
    place(kPassword, margin, 4, half);
    const int action = Scale(kActionWidth);
    MoveWindow(Control(kTestConnection), width - 2 * margin - 2 * action, top + 4 * step, action, control, TRUE);
    MoveWindow(Control(kUpload), width - margin - action, top + 4 * step, action, control, TRUE);
}

void TForm3::StoreChoiceClick()
{
    const bool onServer = SendMessageW(Control(kServerStore), BM_GETCHECK, 0, 0) == BST_CHECKED;
    for (int id : {kDriver, kHost, kPort, kDatabase, kUser, kPassword, kTestConnection, kUpload}) {
        EnableWindow(Control(id), onServer);
    }
}

quorva::ServerLocation TForm3::ServerShown() const
{
    return {WindowTextUtf8(Control(kDriver)), WindowTextUtf8(Control(kHost)),     WindowTextUtf8(Control(kPort)),
            WindowTextUtf8(Control(kDatabase)), WindowTextUtf8(Control(kUser)), WindowTextUtf8(Control(kPassword))};
}

bool TForm3::ServerComplete()
{
    for (const auto& [id, name] : {std::pair{kHost, "主机"}, std::pair{kPort, "端口"}, std::pair{kDatabase, "数据库"},
                                   std::pair{kUser, "用户"}}) {
        if (!WindowTextUtf8(Control(id)).empty()) continue;
        Tell(std::string("请填写数据库服务器的") + name + "。");
        SetFocus(Control(id));
        return false;
    }
    return true;
}

void TForm3::Tell(const std::string& text)
{
    MessageBoxW(hwnd(), Widen(text).c_str(), Widen(quorva::kApplicationTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}

void TForm3::TestConnectionClick()
{
    if (!ServerComplete()) return;
    const HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const std::string outcome = actions_.TestConnection(ServerShown());
    SetCursor(old);
    Tell(outcome);
}

void TForm3::UploadClick()
{
    if (!ServerComplete()) return;
    const std::string file =
        quorva::JoinDatabasePath(WindowTextUtf8(Control(kFolder)), WindowTextUtf8(Control(kFileName)));
    const HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const std::string outcome = actions_.Upload(file, ServerShown());
    SetCursor(old);
    Tell(outcome);
}

void TForm3::OnLayout(int width, int height)
{
    const int margin = Scale(kMargin);
    const int label = Scale(kLabelHeight);
    const int control = Scale(kControlHeight);
    const int dots = Scale(kDotsWidth);
    int top = margin;
    for (const auto& [box, button] : {std::pair{kFolder, kPickFolder}, std::pair{kFileName, kPickFileName},
                                      std::pair{kTemplate, kPickTemplate}}) {
        MoveWindow(Control(box + 100), margin, top, width - 2 * margin, label, TRUE);
        top += label + Scale(2);
        MoveWindow(Control(box), margin, top, width - 3 * margin - dots, control, TRUE);
        MoveWindow(Control(button), width - margin - dots, top, dots, control, TRUE);
        top += control + margin;
    }
    MoveWindow(Control(kSilentEntry), margin, top, width - 2 * margin, control, TRUE);
    const int storeTop = top + control + margin;
    PlaceStoreControls(storeTop, width);
    PlaceDeadlineControls(storeTop + kStoreRows * (control + Scale(kMargin / 2)), width);
    PlaceButtons(hwnd(), width, height, margin, Scale(kButtonWidth), Scale(kButtonHeight));
}

// 取消, the close box and Esc all arrive as IDCANCEL.
bool TForm3::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result)
{
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    result = 0;
    switch (LOWORD(wParam)) {
    case kPickFolder: Button3Click(); return true;
    case kPickFileName: Button4Click(); return true;
    case kPickTemplate: Button5Click(); return true;
    case kFileStore:
    case kServerStore: StoreChoiceClick(); return true;
    case kTestConnection: TestConnectionClick(); return true;
    case kUpload: UploadClick(); return true;
    case IDOK:
        values_.store.kind = SendMessageW(Control(kServerStore), BM_GETCHECK, 0, 0) == BST_CHECKED
                                 ? quorva::StoreKind::Server
                                 : quorva::StoreKind::File;
        if (values_.store.kind == quorva::StoreKind::Server && !ServerComplete()) return true;
        values_.store.server = ServerShown();
        values_.folder = WindowTextUtf8(Control(kFolder));
        values_.fileName = WindowTextUtf8(Control(kFileName));
        values_.templatePath = WindowTextUtf8(Control(kTemplate));
        values_.silentEntry = SendMessageW(Control(kSilentEntry), BM_GETCHECK, 0, 0) == BST_CHECKED;
        TakeDeadlineControls();
        Close(IDOK);
        return true;
    case IDCANCEL:
        Close(IDCANCEL);
        return true;
    default:
        return false;
    }
}

void TForm3::Button3Click()
{
    if (const auto folder = pickers_(hwnd())->PickFolder(quorva::kDatabaseFolderPickerCaption)) {
        SetWindowTextUtf8(Control(kFolder), *folder);
    }
}

void TForm3::Button4Click()
{
    TForm4 fileName(WindowTextUtf8(Control(kFileName)));
    if (!fileName.ShowModal(hwnd())) return;
    if (const auto name = quorva::DatabaseFileNameFrom(fileName.name())) SetWindowTextUtf8(Control(kFileName), *name);
}

void TForm3::Button5Click()
{
    if (const auto file = pickers_(hwnd())->PickTemplateFile()) SetWindowTextUtf8(Control(kTemplate), *file);
}

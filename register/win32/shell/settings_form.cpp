#include "register/win32/shell/settings_form.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kNameKeySubclass = 1;
constexpr int kNameBox = TForm4::kNameBox;
constexpr int kNameLabel = TForm4::kNameLabel;

constexpr int kSettingsWidth = 405;
constexpr int kSettingsHeight = 331;
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
    return RunModal(owner_, quorva::kSettingsCaption, kCloseBoxOnly, kSettingsWidth, kSettingsHeight) == IDOK;
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
    return true;
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
    case IDOK:
        values_.folder = WindowTextUtf8(Control(kFolder));
        values_.fileName = WindowTextUtf8(Control(kFileName));
        values_.templatePath = WindowTextUtf8(Control(kTemplate));
        values_.silentEntry = SendMessageW(Control(kSilentEntry), BM_GETCHECK, 0, 0) == BST_CHECKED;
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

#include "register/win32/entry/pick_list_form.h"

#include <commctrl.h>

namespace {

constexpr int kFirstLabel = 102;
constexpr int kSecondLabel = 103;
constexpr int kMargin = 8;
constexpr int kLabelHeight = 18;
constexpr int kButtonWidth = 72;
constexpr int kButtonHeight = 26;
const char* const kLineHint = "(以行为单位分隔)";

struct EditorLook {
    const char* caption;
    const char* firstLabel;
    int width;
    int height;
};

EditorLook LookOf(quorva::PickList list)
{
    if (list == quorva::PickList::Names) return {"常用输入姓名设置", "请输入常用人员姓名等信息：", 256, 412};
    return {"常用机关代字设置", "请输入常用机关代字：", 272, 414};
}

}  // namespace

bool PickListForm::Edit(std::string& text)
{
    text_ = text;
    const EditorLook look = LookOf(list_);
    const DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    if (RunModal(owner_, look.caption, style, look.width, look.height) != IDOK) return false;
    text = text_;
    return true;
}

bool PickListForm::OnInit()
{
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    AddControl(WC_STATICW, LookOf(list_).firstLabel, SS_LEFT, kFirstLabel);
    AddControl(WC_STATICW, kLineHint, SS_LEFT, kSecondLabel);
    const HWND body = AddControl(WC_EDITW, "", ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                                 kBodyId, WS_EX_CLIENTEDGE);
    SetWindowTextUtf8(body, text_);
    AddControl(WC_BUTTONW, "确定", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
    AddControl(WC_BUTTONW, "取消", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
    SetFocus(body);
    return false;
}

void PickListForm::OnLayout(int width, int height)
{
    const int margin = Scale(kMargin);
    const int label = Scale(kLabelHeight);
    const int buttonTop = height - margin - Scale(kButtonHeight);
    MoveWindow(Control(kFirstLabel), margin, margin, width - 2 * margin, label, TRUE);
    MoveWindow(Control(kSecondLabel), margin, margin + label, width - 2 * margin, label, TRUE);
    const int bodyTop = margin + 2 * label + Scale(4);
    MoveWindow(Control(kBodyId), margin, bodyTop, width - 2 * margin, buttonTop - bodyTop - margin, TRUE);
    MoveWindow(Control(IDCANCEL), width - margin - Scale(kButtonWidth), buttonTop, Scale(kButtonWidth),
               Scale(kButtonHeight), TRUE);
    MoveWindow(Control(IDOK), width - 2 * margin - 2 * Scale(kButtonWidth), buttonTop, Scale(kButtonWidth),
               Scale(kButtonHeight), TRUE);
}

bool PickListForm::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result)
{
    if (message != WM_COMMAND) return false;
    const int id = LOWORD(wParam);
    if (id == IDOK) text_ = WindowTextUtf8(Control(kBodyId));
    if (id == IDOK || id == IDCANCEL) Close(id);
    result = 0;
    return true;
}

std::unique_ptr<quorva::PickListEditor> Win32PickListEditorFactory::CreateEditor(quorva::PickList list)
{
    const HWND owner = GetActiveWindow();
    return list == quorva::PickList::Names ? TForm20(owner) : TForm18(owner);
}

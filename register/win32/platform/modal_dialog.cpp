#include "register/win32/platform/modal_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "register/core/shell/scaled_layout.h"
#include "register/core/text/text_encoding.h"
#include "register/win32/platform/dpi.h"

namespace {

// An empty template: the frame only, the controls come from OnInit.
std::vector<WORD> EmptyTemplate(const std::wstring& caption, DWORD style)
{
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = style;
    header->cdit = 0;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    for (wchar_t c : caption) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    return words;
}

}  // namespace

std::string WindowTextUtf8(HWND hwnd)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void SetWindowTextUtf8(HWND hwnd, const std::string& text)
{
    SetWindowTextW(hwnd, Widen(text).c_str());
}

INT_PTR ModalDialog::RunModal(HWND owner, const std::string& caption, DWORD style, int width, int height)
{
    owner_ = owner;
    width_ = width;
    height_ = height;
    const std::vector<WORD> form = EmptyTemplate(Widen(caption), style);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(form.data()), owner,
                                   DialogProc, reinterpret_cast<LPARAM>(this));
}

int ModalDialog::Scale(int pixels) const
{
    return MulDiv(pixels, dpi_, USER_DEFAULT_SCREEN_DPI);
}

HWND ModalDialog::AddControl(const wchar_t* className, const std::string& text, DWORD style, int id, DWORD exStyle)
{
    const HWND control =
        CreateWindowExW(exStyle, className, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

// Centred on the owner, but kept within the screen's work area.
void ModalDialog::CenterOnOwner(int width, int height)
{
    const RECT work = WorkAreaNear(owner_ ? owner_ : hwnd_);
    RECT area = work;
    if (owner_) GetWindowRect(owner_, &area);
    const int left = area.left + (static_cast<int>(area.right - area.left) - width) / 2;
    const int top = area.top + (static_cast<int>(area.bottom - area.top) - height) / 2;
    SetWindowPos(hwnd_, nullptr, std::clamp<int>(left, work.left, std::max<int>(work.left, work.right - width)),
                 std::clamp<int>(top, work.top, std::max<int>(work.top, work.bottom - height)), width, height,
                 SWP_NOZORDER);
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<ModalDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        dialog->hwnd_ = hwnd;
        const RECT work = WorkAreaNear(dialog->owner_ ? dialog->owner_ : hwnd);
        dialog->dpi_ = quorva::FittingDpi(static_cast<int>(WindowDpi(hwnd)), dialog->width_, dialog->height_,
                                          work.right - work.left, work.bottom - work.top);
        const LOGFONTW font = MessageFontForDpi(static_cast<UINT>(dialog->dpi_));
        dialog->font_.Reset(CreateFontIndirectW(&font));
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(dialog->font_.get()), FALSE);
        const bool systemFocus = dialog->OnInit();
        dialog->CenterOnOwner(dialog->Scale(dialog->width_), dialog->Scale(dialog->height_));
        return systemFocus ? TRUE : FALSE;
    }
    auto* dialog = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!dialog) return FALSE;
    if (message == WM_SIZE) {
        dialog->OnLayout(LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    }
    INT_PTR result = 0;
    if (!dialog->OnMessage(message, wParam, lParam, result)) return FALSE;
    // Colour messages return their brush itself; the others through
    // DWLP_MSGRESULT.
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return result;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

namespace {

constexpr UINT_PTR kDialogKeysSubclass = 1;

LRESULT CALLBACK DialogKeysProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_GETDLGCODE) {
        LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
        const MSG* pending = reinterpret_cast<const MSG*>(lParam);
        if (pending && pending->message == WM_KEYDOWN && (pending->wParam == VK_TAB || pending->wParam == VK_ESCAPE)) {
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        }
        return code;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, DialogKeysProc, kDialogKeysSubclass);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void LeaveTabAndEscToDialog(HWND multiLineBox)
{
    SetWindowSubclass(multiLineBox, DialogKeysProc, kDialogKeysSubclass, 0);
}

void FillItems(HWND comboBox, const std::vector<std::string>& items)
{
    for (const std::string& item : items) {
        SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    }
}

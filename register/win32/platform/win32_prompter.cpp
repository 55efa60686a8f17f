#include "register/win32/platform/win32_prompter.h"

#include "register/core/text/text_encoding.h"

namespace {

const wchar_t* const kDialogClass = L"#32770";

UINT IconFlag(quorva::PromptIcon icon)
{
    switch (icon) {
    case quorva::PromptIcon::Information: return MB_ICONINFORMATION;
    case quorva::PromptIcon::Warning: return MB_ICONWARNING;
    case quorva::PromptIcon::Error: return MB_ICONERROR;
    case quorva::PromptIcon::None: break;
    }
    return 0;
}

struct DialogSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindShownDialog(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<DialogSearch*>(data);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, kDialogClass) != 0 || GetWindow(window, GW_OWNER) != search.owner ||
        !IsWindowVisible(window)) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

// A dialog of this program that `owner` owns and shows, the frontmost first.
HWND ShownDialogOwnedBy(HWND owner)
{
    DialogSearch search{owner, nullptr};
    EnumThreadWindows(GetWindowThreadProcessId(owner, nullptr), FindShownDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The innermost dialog open over `window`: a box must disable the dialog
// the clerk is working in, or that dialog takes clicks behind the box.
HWND InnermostDialog(HWND window)
{
    if (!window) return nullptr;
    while (const HWND dialog = ShownDialogOwnedBy(window)) window = dialog;
    return window;
}

}  // namespace

quorva::PromptAnswer Win32Prompter::Show(const std::string& text, const std::string& caption, quorva::PromptIcon icon,
                                         quorva::PromptButtons buttons)
{
    const UINT buttonFlag = buttons == quorva::PromptButtons::YesNo ? MB_YESNO : MB_OK;
    const int answer =
        MessageBoxW(InnermostDialog(owner_), Widen(text).c_str(), Widen(caption).c_str(), buttonFlag | IconFlag(icon));
    if (buttons == quorva::PromptButtons::Ok) return quorva::PromptAnswer::Ok;
    return answer == IDNO ? quorva::PromptAnswer::No : quorva::PromptAnswer::Yes;
}

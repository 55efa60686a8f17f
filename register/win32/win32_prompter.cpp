#include "register/win32/win32_prompter.h"

#include "register/core/text_encoding.h"

namespace {

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

}  // namespace

quorva::PromptAnswer Win32Prompter::Show(const std::string& text, const std::string& caption, quorva::PromptIcon icon,
                                         quorva::PromptButtons buttons)
{
    const UINT buttonFlag = buttons == quorva::PromptButtons::YesNo ? MB_YESNO : MB_OK;
    const int answer = MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), buttonFlag | IconFlag(icon));
    if (buttons == quorva::PromptButtons::Ok) return quorva::PromptAnswer::Ok;
    return answer == IDNO ? quorva::PromptAnswer::No : quorva::PromptAnswer::Yes;
}

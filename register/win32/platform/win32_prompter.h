#pragma once

#include <windows.h>

#include "register/core/shell/prompter.h"

// Message boxes owned by the main window or, while a dialog is open over it,
// by the innermost such dialog.
class Win32Prompter final : public quorva::Prompter {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    quorva::PromptAnswer Show(const std::string& text, const std::string& caption, quorva::PromptIcon icon,
                              quorva::PromptButtons buttons) override;

private:
    HWND owner_ = nullptr;
};

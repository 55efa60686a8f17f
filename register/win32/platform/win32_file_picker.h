#pragma once

#include <windows.h>

#include "register/core/shell/file_picker.h"

// The system's folder browser and file-open dialog, owned by a window of the
// program.
class Win32FilePicker final : public quorva::FilePicker {
public:
    explicit Win32FilePicker(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }
    std::optional<std::string> PickFolder(const std::string& caption) override;
    std::optional<std::string> PickBackupFile() override;
    // An existing word-processor document, for the approval-form template;
    // .rtf too, which the register fills itself where no word processor is.
    std::optional<std::string> PickTemplateFile();

private:
    HWND owner_;
};

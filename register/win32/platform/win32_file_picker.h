#pragma once

#include <windows.h>

#include <functional>
#include <memory>

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
    std::optional<std::string> PickTemplateFile() override;

private:
    HWND owner_;
};

// A picker owned by a given window; the dialogs make theirs through one.
using FilePickerFor = std::function<std::unique_ptr<quorva::FilePicker>(HWND owner)>;
std::unique_ptr<quorva::FilePicker> SystemFilePickerFor(HWND owner);

#pragma once

#include <optional>
#include <string>

// The system's folder browser and file-open dialog as the maintenance
// commands and the settings dialog use them; nothing when the clerk cancels.
// Paths are UTF-8.
namespace quorva {

class FilePicker {
public:
    virtual ~FilePicker() = default;
    virtual std::optional<std::string> PickFolder(const std::string& caption) = 0;
    // An existing "*.bak" file.
    virtual std::optional<std::string> PickBackupFile() = 0;
    // An existing word-processor document, for the approval-form template.
    virtual std::optional<std::string> PickTemplateFile() = 0;
};

}  // namespace quorva

#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "register/core/shell/file_system.h"

// Scans that could not become records are kept in a text file beside the
// database, so that none is lost and the clerk can register them later: one
// line each with the time, the reason and the scan's text, UTF-8 with a byte
// order mark so that Notepad shows the Chinese on every Windows.
namespace quorva {

inline constexpr const char* kUnstoredScansFile = "未录入扫描.txt";

class UnstoredScans {
public:
    // `now` gives the local date and time as the status bar shows it.
    UnstoredScans(FileSystem& files, std::function<std::string()> now);

    // Appends the scan to the file in the first of `folders` that takes it;
    // that file's path, or nothing when none did.
    std::optional<std::string> Keep(const std::vector<std::string>& folders, const std::string& scan,
                                    const std::string& reason);

private:
    FileSystem& files_;
    std::function<std::string()> now_;
};

// The folder part of a Windows path ("C:\Quorva" of "C:\Quorva\Quorva.db").
std::string FolderOf(const std::string& path);

}  // namespace quorva

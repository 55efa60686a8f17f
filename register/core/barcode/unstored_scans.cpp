#include "register/core/barcode/unstored_scans.h"

#include <algorithm>

#include "register/core/shell/startup.h"

namespace quorva {

namespace {

const char* const kByteOrderMark = "\xEF\xBB\xBF";
const char* const kLineEnd = "\r\n";
const char kColumnSeparator = '\t';

// One scan, one line: its own line ends and tabs would split it.
std::string OneLine(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
    return text;
}

}  // namespace

UnstoredScans::UnstoredScans(FileSystem& files, std::function<std::string()> now)
    : files_(files), now_(std::move(now))
{
}

std::optional<std::string> UnstoredScans::Keep(const std::vector<std::string>& folders, const std::string& scan,
                                               const std::string& reason)
{
    const std::string line =
        now_() + kColumnSeparator + OneLine(reason) + kColumnSeparator + OneLine(scan) + kLineEnd;
    for (const std::string& folder : folders) {
        const std::string path = JoinDatabasePath(folder, kUnstoredScansFile);
        const std::string start = files_.FileExists(path) ? "" : kByteOrderMark;
        if (files_.AppendToFile(path, start + line)) return path;
    }
    return std::nullopt;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace quorva

#include "register/win32/automation/workbook_file.h"

#include <commdlg.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "register/core/automation/list_workbook.h"
#include "register/core/deadlines/deadline_rule.h"
#include "register/core/text/text_encoding.h"
#include "register/win32/automation/ole_exception.h"
#include "register/win32/automation/written_file_shell.h"
#include "register/win32/platform/local_date.h"

namespace {

constexpr DWORD kPathCapacity = 32768;
const wchar_t* const kScratchPrefix = L"qrv";
const char* const kListCommand = "导出列表";
const char* const kWorkbookFilterName = "Excel 工作簿 (*.xlsx)";
const wchar_t* const kWorkbookFilter = L"*.xlsx";
const wchar_t* const kWorkbookDefaultExtension = L"xlsx";

std::optional<std::string> PickWorkbookPath(HWND owner, const std::string& command, const std::string& proposedName)
{
    std::wstring path = Widen(proposedName);
    path.resize(kPathCapacity, L'\0');
    const std::wstring title = Widen(command);
    const std::wstring filters = Widen(kWorkbookFilterName) + L'\0' + kWorkbookFilter + L'\0' + L'\0';
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathCapacity;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = kWorkbookDefaultExtension;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return Narrow(path.c_str());
}

std::optional<std::string> InAnsiCodePage(const std::wstring& text)
{
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy) return std::nullopt;
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, converted.data(), size, nullptr, nullptr);
    converted.pop_back();
    return converted;
}

// libxlsxwriter opens its file with the C runtime's fopen, which takes a
// path in the ANSI code page: the path itself, or its short form where a
// character of it has no place in that code page.
std::optional<std::string> AnsiPath(const std::wstring& path)
{
    if (auto direct = InAnsiCodePage(path)) return direct;
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    return InAnsiCodePage(shortPath);
}

std::wstring FolderOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring TempFolder()
{
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    return folder;
}

// The workbook is written under a name of its own, beside its target where
// the C runtime can reach that folder, and takes the clerk's name only when
// it is whole: a failed export never leaves half a file, nor destroys the
// one the clerk chose to replace.
class ScratchFile {
public:
    explicit ScratchFile(const std::wstring& target)
    {
        for (const std::wstring& folder : {FolderOf(target), TempFolder()}) {
            wchar_t name[MAX_PATH] = {};
            if (!GetTempFileNameW(folder.c_str(), kScratchPrefix, 0, name)) continue;
            if (std::optional<std::string> ansi = AnsiPath(name)) {
                path_ = name;
                ansiPath_ = *ansi;
                return;
            }
            DeleteFileW(name);
        }
        throw std::runtime_error("导出文件写入失败：没有可写入的临时文件夹");
    }
    ~ScratchFile()
    {
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& ansiPath() const { return ansiPath_; }

    void MoveTo(const std::wstring& target)
    {
        if (!MoveFileExW(path_.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
            throw std::runtime_error("导出文件写入失败“" + Narrow(target) + "”：" +
                                     SystemText(static_cast<HRESULT>(GetLastError())));
        }
        path_.clear();
    }

private:
    std::wstring path_;
    std::string ansiPath_;
};

void SaveWorkbookFile(HWND owner, const std::string& command, const std::string& proposedName,
                      const std::function<void(const std::string& ansiPath)>& write)
{
    const std::optional<std::string> path = PickWorkbookPath(owner, command, proposedName);
    if (!path) return;
    const std::wstring target = Widen(*path);
    ScratchFile scratch(target);
    write(scratch.ansiPath());
    scratch.MoveTo(target);
    ShowWrittenFile(*path);
}

}  // namespace

void ExportWorkbookFile(const quorva::RecordList& rows, HWND owner, const quorva::ListDeadlines& deadlines)
{
    SaveWorkbookFile(owner, kListCommand, quorva::DefaultWorkbookName(LocalToday()), [&](const std::string& path) {
        quorva::WriteListWorkbook(rows, path,
                                  [&](std::size_t i) { return quorva::DeadlineText(deadlines.DeadlineOf(i)); });
    });
}

void ExportTableWorkbookFile(const quorva::SheetTable& table, HWND owner, const std::string& command,
                             const std::string& namePrefix)
{
    const std::string name = namePrefix + LocalToday().ToCompact() + quorva::kWorkbookExtension;
    SaveWorkbookFile(owner, command, name, [&](const std::string& path) { quorva::WriteTableWorkbook(table, path); });
}

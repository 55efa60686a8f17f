#include "register/win32/automation/written_file_shell.h"

#include <windows.h>
#include <shellapi.h>

#include "register/core/text/text_encoding.h"

namespace {

// No box of the shell's own: a missing program must not stop a run of scans.
bool Execute(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters)
{
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.lpVerb = verb;
    execute.lpFile = file;
    execute.lpParameters = parameters;
    execute.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&execute) != FALSE;
}

}  // namespace

void ShowWrittenFile(const std::string& path)
{
    const std::wstring file = Widen(path);
    if (Execute(L"open", file.c_str(), nullptr)) return;
    const std::wstring select = L"/select,\"" + file + L"\"";
    Execute(nullptr, L"explorer.exe", select.c_str());
}

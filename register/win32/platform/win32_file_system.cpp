#include "register/win32/platform/win32_file_system.h"

#include <windows.h>
#include <shlobj.h>

#include "register/core/text/text_encoding.h"

namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool Win32FileSystem::CreateFolders(const std::string& path)
{
    const std::wstring wide = Widen(path);
    if (wide.empty()) return false;
    // Each prefix ending before a backslash is a parent; the drive itself
    // ("C:") is skipped by CreateDirectoryW failing harmlessly.
    for (std::size_t pos = wide.find(L'\\', 0); pos != std::wstring::npos; pos = wide.find(L'\\', pos + 1)) {
        if (pos > 0) CreateDirectoryW(wide.substr(0, pos).c_str(), nullptr);
    }
    CreateDirectoryW(wide.c_str(), nullptr);
    return IsFolder(wide);
}

bool Win32FileSystem::FileExists(const std::string& path) const
{
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Win32FileSystem::CreateEmptyFile(const std::string& path)
{
    const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

std::string RoamingAppDataFolder()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return std::string();
    return Narrow(path);
}

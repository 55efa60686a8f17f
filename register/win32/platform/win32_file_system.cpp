#include "register/win32/platform/win32_file_system.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

#include "register/core/text/text_encoding.h"

namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

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

bool Win32FileSystem::AppendToFile(const std::string& path, const std::string& bytes)
{
    // Appending writes are atomic at the end of the file, whoever else has
    // it open for reading or appending.
    const HANDLE opened = CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    const FileHandle file(opened);
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string RoamingAppDataFolder()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return std::string();
    return Narrow(path);
}

#include "register/win32/platform/win32_profile_store.h"

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <type_traits>

#include "register/core/shell/settings.h"
#include "register/core/text/text_encoding.h"

namespace {

const char* const kUnwritableSettings = "Unable to write to ";
const wchar_t* const kCopySuffix = L".writing";

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueFile = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// On the disk before anyone can take the file for the settings.
bool Flush(const std::wstring& path)
{
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
    return file.get() != INVALID_HANDLE_VALUE && FlushFileBuffers(file.get());
}

// The platform rewrites the whole file for every key it writes, so a
// register stopped in the middle (killed, or the power gone) would leave it
// empty, and with it the database's folder and the last receipt number. The
// key goes into a copy, which then takes the file's place in one step.
bool WriteThroughCopy(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                      const std::wstring& value)
{
    const std::wstring copy = file + kCopySuffix;
    // What a register stopped earlier left is no settings of today's.
    DeleteFileW(copy.c_str());
    if (!CopyFileW(file.c_str(), copy.c_str(), FALSE) && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    if (WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), copy.c_str()) && Flush(copy) &&
        MoveFileExW(copy.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileW(copy.c_str());
    return false;
}

}  // namespace

std::string Win32ProfileStore::Read(const std::string& file, const std::string& section, const std::string& key,
                                    const std::string& fallback) const
{
    wchar_t buffer[quorva::kMaxSettingLength + 1] = {};
    GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(fallback).c_str(), buffer,
                             static_cast<DWORD>(quorva::kMaxSettingLength + 1), Widen(file).c_str());
    return Narrow(buffer);
}

void Win32ProfileStore::Write(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& value)
{
    if (!WriteThroughCopy(Widen(file), Widen(section), Widen(key), Widen(value))) {
        throw std::runtime_error(std::string(kUnwritableSettings) + file);
    }
}

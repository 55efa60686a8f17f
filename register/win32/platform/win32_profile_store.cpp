#include "register/win32/platform/win32_profile_store.h"

#include <windows.h>

#include <stdexcept>

#include "register/core/shell/settings.h"
#include "register/core/text/text_encoding.h"

namespace {

const char* const kUnwritableSettings = "Unable to write to ";

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
    if (!WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(),
                                    Widen(file).c_str())) {
        throw std::runtime_error(std::string(kUnwritableSettings) + file);
    }
}

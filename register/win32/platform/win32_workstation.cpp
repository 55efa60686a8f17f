#include "register/win32/platform/win32_workstation.h"

#include <windows.h>
#include <lmcons.h>

#include "register/core/text/text_encoding.h"

std::string Win32Workstation::UserName() const
{
    wchar_t name[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    return GetUserNameW(name, &size) ? Narrow(name) : std::string();
}

std::string Win32Workstation::MachineName() const
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? Narrow(name) : std::string();
}

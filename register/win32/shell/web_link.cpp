#include "register/win32/shell/web_link.h"

#include <windows.h>
#include <shellapi.h>

#include "register/core/text/text_encoding.h"

namespace {

// ShellExecute reports success with a value above 32.
constexpr INT_PTR kShellExecuteFailureLimit = 32;

}  // namespace

void OpenWebLink(const std::string& address)
{
    const std::wstring wide = Widen(address);
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr,
                                                                SW_SHOWNORMAL));
    if (result > kShellExecuteFailureLimit) return;
    const std::wstring parameters = L"url.dll,FileProtocolHandler " + wide;
    ShellExecuteW(nullptr, L"open", L"rundll32.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

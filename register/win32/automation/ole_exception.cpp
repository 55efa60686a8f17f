#include "register/win32/automation/ole_exception.h"

#include <cstdio>

#include "register/core/text/text_encoding.h"
#include "register/win32/automation/com_resources.h"

std::string SystemText(HRESULT code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    if (!text.empty()) return Narrow(text);
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "OLE error %08lX", static_cast<unsigned long>(code));
    return fallback;
}

namespace {

// The strings of an EXCEPINFO, owned so that every path frees them.
struct ExcepInfoStrings {
    explicit ExcepInfoStrings(EXCEPINFO& info)
    {
        if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        source.reset(info.bstrSource);
        description.reset(info.bstrDescription);
        helpFile.reset(info.bstrHelpFile);
    }
    struct Owned {
        BSTR b = nullptr;
        void reset(BSTR value) { b = value; }
        ~Owned() { SysFreeString(b); }
    };
    Owned source, description, helpFile;
};

}  // namespace

void ThrowOleError(HRESULT code, EXCEPINFO* info)
{
    if (code == DISP_E_EXCEPTION && info) {
        const ExcepInfoStrings strings(*info);
        const HRESULT reported = info->scode ? info->scode : code;
        if (strings.description.b && SysStringLen(strings.description.b) > 0) {
            throw EOleException(Narrow(std::wstring_view(strings.description.b, SysStringLen(strings.description.b))),
                                reported);
        }
        throw EOleException(SystemText(reported), reported);
    }
    throw EOleException(SystemText(code), code);
}

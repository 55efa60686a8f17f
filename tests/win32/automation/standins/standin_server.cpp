// The stand-ins as a local server: started by COM with -Embedding, serving
// every class from this one process until what it made is released.
#include <windows.h>

#include <vector>

#include "tests/win32/automation/standins/standin_objects.h"

namespace {

constexpr UINT kLookMs = 100;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    std::vector<DWORD> cookies;
    for (const standins::StandInClass& type : standins::kClasses) {
        IClassFactory* factory = standins::NewFactory(type);
        DWORD cookie = 0;
        if (SUCCEEDED(CoRegisterClassObject(type.clsid, factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie))) {
            cookies.push_back(cookie);
        }
        factory->Release();
    }
    // The registered factories alone are the idle level.
    const long idle = standins::LiveObjects();
    SetTimer(nullptr, 0, kLookMs, nullptr);
    bool served = false;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
        const long live = standins::LiveObjects();
        if (live > idle) {
            served = true;
        } else if (served) {
            break;
        }
    }
    for (DWORD cookie : cookies) CoRevokeClassObject(cookie);
    CoUninitialize();
    return 0;
}

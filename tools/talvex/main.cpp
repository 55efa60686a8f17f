// The stand-in scanner service: a COM local server hosting the transport
// plug-in. "/RegServer [/PlugIn path]" registers it, "/UnregServer" removes
// it; started by COM it serves one client and ends with its last object.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "tools/talvex/registration.h"
#include "tools/talvex/talvex_service.h"

namespace {

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(talvex::Server& server) : server_(server) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = (iid == IID_IUnknown || iid == IID_IClassFactory) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    // The factory lives as long as the program's main function.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* service = new (std::nothrow) talvex::TalvexService(server_);
        if (!service) return E_OUTOFMEMORY;
        const HRESULT result = service->QueryInterface(iid, object);
        service->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    talvex::Server& server_;
};

std::vector<std::wstring> Arguments()
{
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments(list, list + count);
    LocalFree(list);
    return arguments;
}

bool IsSwitch(const std::wstring& argument, const wchar_t* name)
{
    return argument.size() > 1 && (argument[0] == L'/' || argument[0] == L'-') &&
           lstrcmpiW(argument.c_str() + 1, name) == 0;
}

std::wstring PlugInPath(const std::vector<std::wstring>& arguments)
{
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
        if (IsSwitch(arguments[i], L"PlugIn")) return arguments[i + 1];
    }
    return talvex::DefaultPlugInPath();
}

bool HasSwitch(const std::vector<std::wstring>& arguments, const wchar_t* name)
{
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (IsSwitch(arguments[i], name)) return true;
    }
    return false;
}

int Serve(const std::wstring& plugInPath)
{
    talvex::Server server(plugInPath);
    ClassFactory factory(server);
    DWORD registration = 0;
    // One client per process: each client gets a plug-in of its own.
    if (FAILED(CoRegisterClassObject(CLSID_Talvex, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE,
                                     &registration))) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoRevokeClassObject(registration);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::vector<std::wstring> arguments = Arguments();
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int exitCode = 0;
    if (HasSwitch(arguments, L"RegServer"))
        exitCode = talvex::RegisterServer(PlugInPath(arguments)) ? 0 : 1;
    else if (HasSwitch(arguments, L"UnregServer"))
        exitCode = talvex::UnregisterServer() ? 0 : 1;
    else
        exitCode = Serve(PlugInPath(arguments));
    CoUninitialize();
    return exitCode;
}

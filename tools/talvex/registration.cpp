#include "tools/talvex/registration.h"

#include <windows.h>
#include <oleauto.h>

#include <wrl/client.h>

#include "talvex.h"

namespace talvex {

namespace {

const wchar_t kClassKey[] = L"CLSID\\{9F8D4F16-0F61-4A38-98B3-1F6F80F11C87}";
const wchar_t kClassId[] = L"{9F8D4F16-0F61-4A38-98B3-1F6F80F11C87}";
const wchar_t kLibraryId[] = L"{E8F7AA67-E7AD-4A48-BDBA-533ACA1C9116}";
const wchar_t kProgId[] = L"Talvex.Talvex";
const wchar_t kClassName[] = L"Talvex scanner service (stand-in)";
const wchar_t kPlugInSwitch[] = L"/PlugIn";
const wchar_t kDefaultPlugIn[] = L"Pellion.dll";
constexpr WORD kLibraryMajor = 1;
constexpr WORD kLibraryMinor = 0;

bool SetValue(const std::wstring& key, const std::wstring& value)
{
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

}  // namespace

std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring DefaultPlugInPath()
{
    const std::wstring program = ProgramPath();
    return program.substr(0, program.find_last_of(L"\\/") + 1) + kDefaultPlugIn;
}

bool RegisterServer(const std::wstring& plugInPath)
{
    const std::wstring classKey = kClassKey;
    wchar_t fullPlugInPath[MAX_PATH] = {};
    if (!GetFullPathNameW(plugInPath.c_str(), MAX_PATH, fullPlugInPath, nullptr)) return false;
    const std::wstring command = Quoted(ProgramPath()) + L" " + kPlugInSwitch + L" " + Quoted(fullPlugInPath);
    bool written = SetValue(classKey, kClassName) && SetValue(classKey + L"\\LocalServer32", command) &&
                   SetValue(classKey + L"\\ProgID", kProgId) && SetValue(classKey + L"\\TypeLib", kLibraryId) &&
                   SetValue(classKey + L"\\Version", L"1.0") && SetValue(kProgId, kClassName) &&
                   SetValue(std::wstring(kProgId) + L"\\CLSID", kClassId);
    // The type library names the interfaces' marshaller: the register and
    // the service meet across processes.
    Microsoft::WRL::ComPtr<ITypeLib> library;
    written = written && SUCCEEDED(LoadTypeLibEx(ProgramPath().c_str(), REGKIND_REGISTER, &library));
    return written;
}

void PublishEventConnections(std::size_t count)
{
    const DWORD value = static_cast<DWORD>(count);
    RegSetKeyValueW(HKEY_CURRENT_USER, kStandInKey, kEventConnectionsValue, REG_DWORD, &value, sizeof value);
}

bool UnregisterServer()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kStandInKey);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    UnRegisterTypeLib(LIBID_TalvexLib, kLibraryMajor, kLibraryMinor, LOCALE_NEUTRAL, kind);
    return true;
}

}  // namespace talvex

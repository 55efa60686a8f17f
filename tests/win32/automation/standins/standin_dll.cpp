// The stand-ins as an in-process server, for the tests.
#include <windows.h>

#include "tests/win32/automation/standins/standin_objects.h"

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    *out = nullptr;
    for (const standins::StandInClass& type : standins::kClasses) {
        if (type.clsid != clsid) continue;
        IClassFactory* factory = standins::NewFactory(type);
        const HRESULT result = factory->QueryInterface(iid, out);
        factory->Release();
        return result;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

// The desk's state lives as long as the test program does.
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}

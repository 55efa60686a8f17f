#include "plugin/host/plugin.h"
#include "plugin/devices/hid_api.h"

// Library load and unload. The host is expected to destroy its window, and
// with it the hidden window that closes the ports, before it unloads: port
// threads cannot end while the loader holds its lock, so any port still
// open here costs the bounded stop wait before its threads are ended.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    try {
        if (reason == DLL_PROCESS_ATTACH) {
            ::DisableThreadLibraryCalls(instance);
            pellion::LoadPlugin(pellion::SystemHidApi(), instance);
        } else if (reason == DLL_PROCESS_DETACH) {
            pellion::UnloadPlugin(reserved != nullptr);
        }
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

// The transport plug-in bound to simulated scanners, for the stand-in
// service's tests: the real library's four functions over the same core,
// and one scanner that arrives shortly after Init.
#include <cstring>
#include <vector>

#include "plugin/host/exports.h"
#include "plugin/host/plugin.h"
#include "plugin/host/pnp_window.h"
#include "tests/plugin/support/simulated_hid.h"

namespace {

using pellion::testing::ScannerProfile;
using pellion::testing::ScopedSimulation;
using pellion::testing::SimulatedHid;

constexpr DWORD kArrivalDelayMs = 300;
const char kArrivingPath[] = "\\\\?\\hid#vid_05e0&pid_1200#standin";
// The plug-in takes the scanner's GUID text from index 4 of its serial.
const wchar_t kArrivingSerial[] = L"SN01STANDINGUID0123456789ABCDEF0";

// The simulation lives as long as the process: the host may unload the
// library at any time, and the plug-in's threads end on their own.
SimulatedHid* simulation = nullptr;

DWORD WINAPI ArriveLater(LPVOID hostWindow)
{
    Sleep(kArrivalDelayMs);
    ScannerProfile profile;
    profile.path = kArrivingPath;
    profile.serial = kArrivingSerial;
    simulation->Add(profile);

    std::vector<std::uint8_t> storage(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + profile.path.size() + 1, 0);
    auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(storage.data());
    broadcast->dbcc_size = static_cast<DWORD>(storage.size());
    broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    broadcast->dbcc_classguid = SimulatedHid::HidGuid();
    std::memcpy(broadcast->dbcc_name, profile.path.c_str(), profile.path.size() + 1);
    const HWND hidden = FindWindowExA(static_cast<HWND>(hostWindow), nullptr, pellion::kHiddenWindowClass,
                                      pellion::kHiddenWindowTitle);
    SendMessageA(hidden, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(broadcast));
    return 0;
}

}  // namespace

extern "C" int __cdecl SimulatedInit(HWND hostWindow, pellion::ScannerRecord* scanners, int* count)
{
    const int result = Init(hostWindow, scanners, count);
    if (result == 0) {
        const HANDLE arrival = CreateThread(nullptr, 0, ArriveLater, hostWindow, 0, nullptr);
        if (arrival) CloseHandle(arrival);
    }
    return result;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    try {
        if (reason == DLL_PROCESS_ATTACH) {
            DisableThreadLibraryCalls(instance);
            simulation = new SimulatedHid;
            new ScopedSimulation(*simulation);
            pellion::LoadPlugin(simulation->Api(), instance);
        } else if (reason == DLL_PROCESS_DETACH) {
            pellion::UnloadPlugin(reserved != nullptr);
        }
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

#pragma once

#include <cstdint>

#include "plugin/host/attach_notifier.h"
#include "plugin/devices/device_list.h"
#include "plugin/host/pnp_window.h"
#include "plugin/plugin_records.h"

namespace pellion {

// The host's command argument, passed by value; the plug-in reads a few
// fields of it.
struct CommandBlock {
    std::uint8_t bytes[kCommandBlockSize];
};
static_assert(sizeof(CommandBlock) == 6720);

// The host's result argument: only the field at offset 4 is the plug-in's.
#pragma pack(push, 1)
struct CommandResult {
    std::uint8_t reserved[4];
    std::uint16_t status;
};
#pragma pack(pop)

struct PluginTimings {
    DWORD installPollIntervalMs = kInstallPollIntervalMs;
    DWORD removalDelayMs = kRemovalDelayMs;
    DWORD removalGraceMs = kRemovalGraceMs;
    PortTimings port;
};

// Everything the library keeps for the process between the host's calls:
// the device list with its lock and the hidden window.
class Plugin {
public:
    Plugin(const HidApi& hid, HINSTANCE instance, PluginTimings timings);
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    int Init(HWND hostWindow, ScannerRecord* scanners, int* count);
    int SendCommand(DWORD_PTR device, const CommandBlock& command, CommandResult* result);

    DeviceList& Devices() { return devices_; }
    HWND HiddenWindow() const { return window_.Handle(); }

private:
    HINSTANCE instance_;
    DeviceList devices_;
    PnpWindow window_;
};

// Library load and unload. The shipped library loads itself bound to the
// system; a test program links the core and loads it with simulated
// scanners, then calls the same exported functions.
void LoadPlugin(const HidApi& hid, HINSTANCE instance, PluginTimings timings = {});
// processEnding: the system has already ended every other thread, so
// nothing is waited for or released.
void UnloadPlugin(bool processEnding);
Plugin* LoadedPlugin();

}  // namespace pellion

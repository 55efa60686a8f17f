#include "plugin/host/plugin.h"

#include "plugin/commands/host_type_commands.h"
#include "plugin/devices/scanner_records.h"
#include "plugin/host/handler_gate.h"
#include "plugin/host/trace.h"

#include <utility>

namespace pellion {
namespace {

// The library's process state, made at load and ended at unload.
Plugin* loaded = nullptr;

bool IsBadHostWindow(HWND window)
{
    return window == nullptr || window == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)) || !::IsWindow(window);
}

}  // namespace

Plugin::Plugin(const HidApi& hid, HINSTANCE instance, PluginTimings timings)
    : instance_(instance),
      devices_(hid, timings.port),
      window_(devices_, timings.installPollIntervalMs, timings.removalDelayMs, timings.removalGraceMs)
{
}

Plugin::~Plugin()
{
    // The window goes first, so no notification reaches entries being
    // freed; freeing them closes their ports.
    window_.Destroy();
    devices_.Clear();
}

int Plugin::Init(HWND hostWindow, ScannerRecord* scanners, int* count)
{
    if (IsBadHostWindow(hostWindow))
        return kErrBadHostWindow;
    if (scanners == nullptr || count == nullptr)
        return kErrFailed;
    window_.CreateHiddenWindow(instance_, hostWindow);
    int filled = 0;
    devices_.ForEach([&](CompDeviceInfo& entry) {
        if (static_cast<std::size_t>(filled) >= kMaxInitRecords || !entry.record)
            return;
        FillInitRecord(scanners[filled++], *entry.record, ToDeviceHandle(&entry));
        // A port that does not open now is reported by the first command.
        devices_.OpenPort(&entry);
    });
    *count = filled;
    return kOk;
}

int Plugin::SendCommand(DWORD_PTR device, const CommandBlock& command, CommandResult* result)
{
    const HostTypeCommand decoded = ReadCommandBlock(command.bytes);
    TraceAlways("TX:: PELLION_API::SendCommand OPCODE = %d", decoded.opcode);
    if (result != nullptr)
        result->status = 0;
    return devices_.RunCommand(device, decoded);
}

void LoadPlugin(const HidApi& hid, HINSTANCE instance, PluginTimings timings)
{
    UnloadPlugin(false);
    HandlerGate::Process().Open();
    loaded = new Plugin(hid, instance, timings);
}

void UnloadPlugin(bool processEnding)
{
    Plugin* plugin = std::exchange(loaded, nullptr);
    if (processEnding)
        return;
    // A handler running on the window's thread leaves the plug-in's state
    // before that state goes.
    HandlerGate::Process().Close(kUnloadHandlerWaitMs);
    delete plugin;
}

Plugin* LoadedPlugin()
{
    return loaded;
}

}  // namespace pellion

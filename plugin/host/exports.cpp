#include "plugin/host/exports.h"

#include <cstring>

namespace {

constexpr char kPlugInName[] = "USBHIDKB";
constexpr std::size_t kPlugInNameBytes = sizeof kPlugInName;  // 8 characters and the NUL
static_assert(kPlugInNameBytes == 9);

}  // namespace

extern "C" int __cdecl GetPlugInName(char* name)
{
    try {
        if (name == nullptr)
            return pellion::kErrFailed;
        std::memcpy(name, kPlugInName, kPlugInNameBytes);
        return pellion::kOk;
    } catch (...) {
        return pellion::kErrFailed;
    }
}

extern "C" int __cdecl Init(HWND hostWindow, pellion::ScannerRecord* scanners, int* count)
{
    try {
        pellion::Plugin* plugin = pellion::LoadedPlugin();
        return plugin != nullptr ? plugin->Init(hostWindow, scanners, count) : pellion::kErrFailed;
    } catch (...) {
        return pellion::kErrFailed;
    }
}

extern "C" int __cdecl SendCommand(DWORD_PTR device, pellion::CommandBlock command, pellion::CommandResult* result)
{
    try {
        pellion::Plugin* plugin = pellion::LoadedPlugin();
        return plugin != nullptr ? plugin->SendCommand(device, command, result) : pellion::kErrFailed;
    } catch (...) {
        return pellion::kErrFailed;
    }
}

extern "C" void __cdecl SetLoggingConfiguration(const pellion::LoggingConfiguration* configuration)
{
    try {
        pellion::TraceAlways("TALVEX:HIDKB >>Set the logging configuration of the COM Lib");
        if (configuration != nullptr)
            pellion::StoreLoggingConfiguration(*configuration);
    } catch (...) {
    }
}

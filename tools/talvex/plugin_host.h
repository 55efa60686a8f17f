#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace talvex {

// A scanner as the plug-in names it in a device notification.
struct ScannerNotice {
    bool attached = false;
    std::uint32_t device = 0;
    std::string guid;
};

// Hosts one transport plug-in through its four exports: loads it, gives it
// a window of its own and turns its device notifications into notices. The
// plug-in's messages arrive on the thread that started it.
class PluginHost {
public:
    using Listener = std::function<void(const ScannerNotice&)>;

    explicit PluginHost(Listener listener) : listener_(std::move(listener)) {}
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the library and calls Init once; false when the library, one of
    // its exports or Init fails. Scanners present at Init are announced as
    // arrivals once the caller returns to the message loop.
    bool Start(const std::wstring& libraryPath);
    bool Started() const { return window_ != nullptr; }
    std::string Name() const { return name_; }

private:
    using GetPlugInNameFn = int(__cdecl*)(char*);
    using InitFn = int(__cdecl*)(HWND, void*, int*);
    using SetLoggingConfigurationFn = void(__cdecl*)(const void*);

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool BindExports();
    bool CreateHostWindow();
    void AnnouncePresent(const std::uint8_t* records, int count);
    void OnDeviceNotification(WPARAM wParam, LPARAM lParam);

    Listener listener_;
    HMODULE library_ = nullptr;
    HWND window_ = nullptr;
    GetPlugInNameFn getPlugInName_ = nullptr;
    InitFn init_ = nullptr;
    FARPROC sendCommand_ = nullptr;
    SetLoggingConfigurationFn setLoggingConfiguration_ = nullptr;
    std::string name_;
};

}  // namespace talvex

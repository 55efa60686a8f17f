#pragma once

#include "plugin/host/attach_notifier.h"
#include "plugin/devices/device_list.h"

namespace pellion {

constexpr char kHiddenWindowClass[] = "HIDKB";
constexpr char kHiddenWindowTitle[] = "HIDKB-DummyWindow";
// The window's own message: a removal performed after a short delay.
constexpr UINT kWmDeviceRemoved = 0x8001;
constexpr DWORD kRemovalDelayMs = 50;
constexpr DWORD kRemovalGraceMs = 100;

// The hidden child of the host window that follows scanners arriving and
// leaving and the console session. All of it runs on the host's thread.
class PnpWindow {
public:
    PnpWindow(DeviceList& devices, DWORD installPollIntervalMs, DWORD removalDelayMs = kRemovalDelayMs,
              DWORD removalGraceMs = kRemovalGraceMs);
    ~PnpWindow();
    PnpWindow(const PnpWindow&) = delete;
    PnpWindow& operator=(const PnpWindow&) = delete;

    // Creates the window and its registrations and enumerates the present
    // scanners; returns what the enumeration returned.
    int CreateHiddenWindow(HINSTANCE instance, HWND hostWindow);
    // Removes the window, its registrations and the announcing threads. The
    // ports are left to the device list.
    void Destroy();
    HWND Handle() const { return window_; }

    static LRESULT CALLBACK PnPHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnDeviceChange(WPARAM event, const DEV_BROADCAST_HDR* header);
    int HandleDeviceInterfaceChange(const DEV_BROADCAST_HDR* header, WPARAM event);
    int HandleDeviceChange(WPARAM event, const DEV_BROADCAST_HDR* header);
    void BeginRemoval(CompDeviceInfo& entry);
    void DeferredRemoval(DWORD_PTR device);
    void OnSessionChange(WPARAM change);
    void OnConsoleDisconnect();
    void OnConsoleConnect();
    void OnDestroy();
    void Announce(CompDeviceInfo& entry, const char* guidTextBuffer);
    void RemoveScannersGoneMeanwhile();
    void Unregister();

    DeviceList& devices_;
    const HidApi& hid_;
    AttachNotifier notifier_;
    DWORD removalDelayMs_;
    DWORD removalGraceMs_;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    HWND announcingSource_ = nullptr;
    HDEVNOTIFY interfaceNotification_ = nullptr;
    bool sessionRegistered_ = false;
    DWORD_PTR currentDevice_ = 0;
};

}  // namespace pellion

#pragma once

#include <utility>

#include "plugin/platform.h"

namespace pellion {

// Every call the plug-in makes on a scanner, its interfaces or its handles
// goes through one of these pointers, so the same core runs on the real
// system and on simulated scanners. Threads, events, timers and windows are
// not part of it: they stay real everywhere.
struct HidApi {
    void(NTAPI* HidD_GetHidGuid)(LPGUID hidGuid);
    HDEVINFO(WINAPI* SetupDiGetClassDevsA)(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags);
    BOOL(WINAPI* SetupDiEnumDeviceInterfaces)(HDEVINFO set, PSP_DEVINFO_DATA device, const GUID* classGuid,
                                              DWORD memberIndex, PSP_DEVICE_INTERFACE_DATA interfaceData);
    BOOL(WINAPI* SetupDiGetDeviceInterfaceDetailA)(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA interfaceData,
                                                   PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                                   PDWORD requiredSize, PSP_DEVINFO_DATA device);
    BOOL(WINAPI* SetupDiDestroyDeviceInfoList)(HDEVINFO set);

    HANDLE(WINAPI* CreateFileA)(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE templateFile);
    BOOL(WINAPI* CloseHandle)(HANDLE handle);
    BOOL(WINAPI* ReadFile)(HANDLE handle, LPVOID buffer, DWORD length, LPDWORD read, LPOVERLAPPED overlapped);
    BOOL(WINAPI* GetOverlappedResult)(HANDLE handle, LPOVERLAPPED overlapped, LPDWORD transferred, BOOL wait);
    BOOL(WINAPI* CancelIo)(HANDLE handle);

    BOOLEAN(NTAPI* HidD_GetAttributes)(HANDLE handle, PHIDD_ATTRIBUTES attributes);
    BOOLEAN(NTAPI* HidD_GetSerialNumberString)(HANDLE handle, PVOID buffer, ULONG length);
    BOOLEAN(NTAPI* HidD_GetPreparsedData)(HANDLE handle, PHIDP_PREPARSED_DATA* data);
    BOOLEAN(NTAPI* HidD_FreePreparsedData)(PHIDP_PREPARSED_DATA data);
    NTSTATUS(NTAPI* HidP_GetCaps)(PHIDP_PREPARSED_DATA data, PHIDP_CAPS caps);
    BOOLEAN(NTAPI* HidD_GetFeature)(HANDLE handle, PVOID report, ULONG length);
    BOOLEAN(NTAPI* HidD_SetFeature)(HANDLE handle, PVOID report, ULONG length);

    HDEVNOTIFY(WINAPI* RegisterDeviceNotificationA)(HANDLE recipient, LPVOID filter, DWORD flags);
    BOOL(WINAPI* UnregisterDeviceNotification)(HDEVNOTIFY notification);

    // Plug-and-play and console state, so tests can drive arrivals, install
    // states and session changes.
    BOOL(WINAPI* WTSRegisterSessionNotification)(HWND window, DWORD flags);
    BOOL(WINAPI* WTSUnRegisterSessionNotification)(HWND window);
    DWORD(WINAPI* CMP_WaitNoPendingInstallEvents)(DWORD timeoutMs);
};

// The table bound to the system's own functions; the shipped library uses
// nothing else.
const HidApi& SystemHidApi();

// True when the handle names an open device: both 0 and all-ones mean none
// in the device records.
inline bool IsOpenHandle(HANDLE handle)
{
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace pellion

namespace pellion {

// Reads a device's report lengths through its preparsed data, which is
// freed again on every path.
bool ReadCapabilities(const HidApi& hid, HANDLE device, HIDP_CAPS& caps);

// A device handle opened through the table, closed through it too.
class DeviceHandle {
public:
    DeviceHandle() = default;
    DeviceHandle(const HidApi& hid, HANDLE handle) : hid_(&hid), handle_(handle) {}
    ~DeviceHandle() { Reset(); }
    DeviceHandle(const DeviceHandle&) = delete;
    DeviceHandle& operator=(const DeviceHandle&) = delete;
    DeviceHandle(DeviceHandle&& other) noexcept : hid_(other.hid_), handle_(other.handle_)
    {
        other.handle_ = nullptr;
    }
    DeviceHandle& operator=(DeviceHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            hid_ = other.hid_;
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }

    HANDLE Get() const { return handle_; }
    bool IsOpen() const { return IsOpenHandle(handle_); }
    HANDLE Release() { return std::exchange(handle_, nullptr); }
    void Reset()
    {
        if (IsOpenHandle(handle_))
            hid_->CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    const HidApi* hid_ = nullptr;
    HANDLE handle_ = nullptr;
};

}  // namespace pellion

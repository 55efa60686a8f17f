#pragma once

#include <cstddef>
#include <memory>

#include "plugin/com_port.h"
#include "plugin/device_record.h"
#include "plugin/hid_api.h"
#include "plugin/host_type_commands.h"
#include "plugin/known_scanners.h"
#include "plugin/win_handles.h"

namespace pellion {

// One scanner. Its address is the device handle the host knows it by.
struct CompDeviceInfo {
    std::unique_ptr<DeviceRecord> record;
    std::unique_ptr<CComPort> port;
    CompDeviceInfo* next = this;
    CompDeviceInfo* prev = this;
};

inline DWORD_PTR ToDeviceHandle(const CompDeviceInfo* entry)
{
    return reinterpret_cast<DWORD_PTR>(entry);
}

struct OpenDeviceResult {
    int result = 0;                       // 1 accepted, 0 rejected, kErrNoMemory
    CompDeviceInfo* newEntry = nullptr;   // set only when the scanner is new
};

constexpr std::size_t kGuidTextBufferBytes = 255;

// The scanners found so far, in the order they were found, with the
// identities already told to the host.
class DeviceList {
public:
    explicit DeviceList(const HidApi& hid);
    ~DeviceList();
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    // Opens every scanner among the present interfaces of the class; 1, or
    // kErrNoDeviceSet.
    int Enumerate(const GUID& classGuid, HWND notificationWindow);
    // The host window of a new entry's port is the notification window's
    // parent. guidTextBuffer, when given, has kGuidTextBufferBytes.
    OpenDeviceResult OpenDevice(const char* path, HWND notificationWindow, char* guidTextBuffer, bool announced);
    // Closes every entry's HID handle and keeps everything else; true when
    // every close succeeded.
    bool ClosedDeviceHandles();

    int OpenPort(CompDeviceInfo* entry);
    // Runs a host command on the scanner named by a device handle, opening
    // its port first when needed.
    int RunCommand(DWORD_PTR deviceHandle, const HostTypeCommand& command);

    // The entry a device handle names; null for 0, all-ones, or a value that
    // is not a current entry. Never dereferences the value.
    CompDeviceInfo* Find(DWORD_PTR deviceHandle);
    // The device handle of the entry whose record holds the HID handle.
    DWORD_PTR NameHidHandle(HANDLE hidHandle);
    // Stops the entry's port and frees the entry.
    void Remove(CompDeviceInfo* entry);
    // Releases the entry's record (notification, handle) and keeps the entry.
    void DropRecord(CompDeviceInfo& entry);
    // The system reported the entry's interface gone; its removal follows.
    void MarkRemovalPending(CompDeviceInfo& entry);
    // True while the handle names an entry that still has its scanner.
    bool IsLive(DWORD_PTR deviceHandle);
    // Removes every entry.
    void Clear();

    template <typename Visit>
    void ForEach(Visit&& visit);
    std::size_t Count();

    const HidApi& Hid() const { return hid_; }
    CriticalSection& ListLock() { return listLock_; }
    KnownScanners& Known() { return known_; }

private:
    void OpenInterface(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData, HWND notificationWindow);
    HDEVNOTIFY WatchHandle(HANDLE device, HWND notificationWindow);
    CompDeviceInfo* FindBySerial(const DeviceRecord& record);
    void Reuse(CompDeviceInfo& entry, std::unique_ptr<DeviceRecord> record);
    CompDeviceInfo* Append(std::unique_ptr<DeviceRecord> record, HWND notificationWindow);
    void ReleaseRecord(DeviceRecord& record);

    const HidApi& hid_;
    CriticalSection listLock_;
    KnownScanners known_{listLock_};
    CompDeviceInfo head_;
};

template <typename Visit>
void DeviceList::ForEach(Visit&& visit)
{
    for (CompDeviceInfo* entry = head_.next; entry != &head_;) {
        CompDeviceInfo* next = entry->next;
        visit(*entry);
        entry = next;
    }
}

}  // namespace pellion

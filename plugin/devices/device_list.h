#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "plugin/port/com_port.h"
#include "plugin/devices/device_record.h"
#include "plugin/devices/hid_api.h"
#include "plugin/commands/host_type_commands.h"
#include "plugin/devices/known_scanners.h"
#include "plugin/win_handles.h"

namespace pellion {

// One scanner, named towards the host by a small handle of the list's own:
// its address would not fit the host's 32-bit fields in the 64-bit build.
struct CompDeviceInfo {
    std::unique_ptr<DeviceRecord> record;
    std::unique_ptr<CComPort> port;
    CompDeviceInfo* next = this;
    CompDeviceInfo* prev = this;
    std::uint32_t handle = 0;
    // Held by a command from start to end and by every step that closes
    // the port or replaces or releases the record, so neither happens
    // under a running command. Taken before the list lock, never after.
    CriticalSection useLock;
    // Under the list lock: commands holding the entry, and whether it is
    // still in the list. An unlinked entry is freed once no command holds it.
    int users = 0;
    std::atomic<bool> linked{false};
    // Under the use lock: a step closed the open port only for a while (a
    // query-remove, a console disconnect, a record swap); it opens again
    // once the scanner has a handle again.
    bool reopenPort = false;
};

inline DWORD_PTR ToDeviceHandle(const CompDeviceInfo* entry)
{
    return entry != nullptr ? entry->handle : 0;
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
    explicit DeviceList(const HidApi& hid, PortTimings portTimings = {});
    ~DeviceList();
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    // Opens every scanner among the present interfaces of the class; 1, or
    // kErrNoDeviceSet.
    int Enumerate(const GUID& classGuid, HWND notificationWindow);
    // The host window of a new entry's port is the notification window's
    // parent. guidTextBuffer, when given, has kGuidTextBufferBytes.
    OpenDeviceResult OpenDevice(const char* path, HWND notificationWindow, char* guidTextBuffer, bool announced);
    // Closes every entry's port and HID handle and keeps everything else;
    // true when every handle closed. Port and handle close as one step, so
    // no command opens the port again on a handle about to close.
    bool ClosedDeviceHandles();

    int OpenPort(CompDeviceInfo* entry);
    // Runs a host command on the scanner named by a device handle, opening
    // its port first when needed.
    int RunCommand(DWORD_PTR deviceHandle, const HostTypeCommand& command);

    // The entry a device handle names; null for 0, all-ones, or a value that
    // is not a current entry. Only the thread that removes entries may keep
    // the pointer.
    CompDeviceInfo* Find(DWORD_PTR deviceHandle);
    // The device handle of the entry whose record holds the HID handle; 0
    // for none, and for 0 and all-ones, which several records may hold.
    DWORD_PTR NameHidHandle(HANDLE hidHandle);
    // Unlinks the entry, stops its port and frees it once no command holds it.
    void Remove(CompDeviceInfo* entry);
    // Stops the entry's port, then releases its record (notification,
    // handle) and keeps the entry: the port's threads must not use a
    // handle value after it is closed.
    void DropRecord(CompDeviceInfo& entry);
    // A query-remove the system withdrew: closes the port, closes the HID
    // handle and marks it all-ones until the removal or its withdrawal.
    void ReleaseForRemoval(CompDeviceInfo& entry);
    // The removal was refused: opens the interface again when the query
    // closed it, watches the new handle and opens the port again, so events
    // and commands work again. False when it cannot be opened.
    bool Rewatch(CompDeviceInfo& entry, HWND notificationWindow);
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
    class Use;
    friend class Use;

    void OpenInterface(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData, HWND notificationWindow);
    HDEVNOTIFY WatchHandle(HANDLE device, HWND notificationWindow);
    CompDeviceInfo* FindBySerial(const DeviceRecord& record);
    void Reuse(CompDeviceInfo& entry, std::unique_ptr<DeviceRecord> record);
    CompDeviceInfo* Append(std::unique_ptr<DeviceRecord> record, HWND notificationWindow);
    void ReleaseRecord(DeviceRecord& record);
    bool OpenAgain(DeviceRecord& record, HWND notificationWindow);
    // Both under the entry's use lock.
    void ClosePortForNow(CompDeviceInfo& entry);
    void ReopenPortClosedForNow(CompDeviceInfo& entry);
    int OpenPortInUse(CompDeviceInfo& entry);
    std::uint32_t NewHandleLocked();
    CompDeviceInfo* FindLocked(DWORD_PTR deviceHandle);
    // Drops a command's hold; frees an unlinked entry with its last one.
    void Release(CompDeviceInfo& entry);
    void Free(CompDeviceInfo* entry);

    const HidApi& hid_;
    PortTimings portTimings_;
    CriticalSection listLock_;
    // The last handle given out. Handles only grow, so the host never meets
    // a handle it held before naming another scanner.
    std::uint32_t lastHandle_ = 0;
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

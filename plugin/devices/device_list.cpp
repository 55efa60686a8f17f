#include "plugin/devices/device_list.h"

#include <algorithm>
#include <cstddef>
#include <cwchar>
#include <new>
#include <vector>

#include "plugin/host/trace.h"

namespace pellion {
namespace {

constexpr DWORD kEnumerationFlags = DIGCF_PRESENT | DIGCF_DEVICEINTERFACE;
// The system's structures as each build of the library passes them.
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == (kIs32BitBuild ? 5 : 8));
static_assert(sizeof(DEV_BROADCAST_HANDLE) == (kIs32BitBuild ? 44 : 56));
static_assert(sizeof(HIDD_ATTRIBUTES) == 12);

HANDLE OpenForQueries(const HidApi& hid, const char* path)
{
    return hid.CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
}

bool IsScanner(const HidApi& hid, HANDLE device)
{
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    return hid.HidD_GetAttributes(device, &attributes) && attributes.VendorID == kScannerVendorId &&
           attributes.ProductID == kScannerProductId;
}

}  // namespace

// A command's hold on an entry, from its look-up to its return.
class DeviceList::Use {
public:
    Use(DeviceList& list, DWORD_PTR deviceHandle) : list_(list)
    {
        Lock lock(list_.listLock_);
        entry_ = list_.FindLocked(deviceHandle);
        if (entry_ != nullptr)
            ++entry_->users;
    }
    ~Use()
    {
        if (entry_ != nullptr)
            list_.Release(*entry_);
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

    CompDeviceInfo* Entry() const { return entry_; }

private:
    DeviceList& list_;
    CompDeviceInfo* entry_ = nullptr;
};

DeviceList::DeviceList(const HidApi& hid, PortTimings portTimings) : hid_(hid), portTimings_(portTimings) {}

DeviceList::~DeviceList()
{
    Clear();
}

int DeviceList::Enumerate(const GUID& classGuid, HWND notificationWindow)
{
    const HDEVINFO set = hid_.SetupDiGetClassDevsA(&classGuid, nullptr, notificationWindow, kEnumerationFlags);
    if (set == INVALID_HANDLE_VALUE)
        return kErrNoDeviceSet;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof interfaceData;
        ::SetLastError(ERROR_SUCCESS);
        // Past the last member the set answers ERROR_NO_MORE_ITEMS; a set
        // that fails otherwise cannot be walked further either.
        if (!hid_.SetupDiEnumDeviceInterfaces(set, nullptr, &classGuid, index, &interfaceData))
            break;
        OpenInterface(set, interfaceData, notificationWindow);
    }
    hid_.SetupDiDestroyDeviceInfoList(set);
    return 1;
}

void DeviceList::OpenInterface(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData, HWND notificationWindow)
{
    DWORD required = 0;
    hid_.SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, nullptr, 0, &required, nullptr);
    if (required <= offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath))
        return;
    // The 64-bit structure is padded beyond a short path, and the extra
    // byte guarantees a terminated path.
    std::vector<std::uint8_t> storage(std::max<std::size_t>(required, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) + 1, 0);
    auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (hid_.SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, detail, required, nullptr, nullptr))
        OpenDevice(detail->DevicePath, notificationWindow, nullptr, true);
}

OpenDeviceResult DeviceList::OpenDevice(const char* path, HWND notificationWindow, char* guidTextBuffer,
                                        bool announced)
{
    std::unique_ptr<DeviceRecord> record(new (std::nothrow) DeviceRecord);
    if (!record)
        return {kErrNoMemory, nullptr};
    CopyBounded(record->path, sizeof record->path, path != nullptr ? path : "");
    record->openFlag = 1;

    DeviceHandle device(hid_, OpenForQueries(hid_, record->path));
    if (!device.IsOpen() || !IsScanner(hid_, device.Get()) ||
        !hid_.HidD_GetSerialNumberString(device.Get(), record->serial, sizeof record->serial))
        return {0, nullptr};
    if (guidTextBuffer != nullptr)
        CopyBounded(guidTextBuffer, kGuidTextBufferBytes, SerialText(record->serial, 0, kWholeSerialTextBytes));
    record->notification = WatchHandle(device.Get(), notificationWindow);
    record->watchedHandle = device.Get();
    record->hidHandle = device.Release();  // the record owns it from here

    const std::string guidText = GuidText(*record);
    OpenDeviceResult opened{1, nullptr};
    if (CompDeviceInfo* existing = FindBySerial(*record))
        Reuse(*existing, std::move(record));
    else
        opened.newEntry = Append(std::move(record), notificationWindow);
    known_.AddIfUnknown(guidText, announced);
    return opened;
}

HDEVNOTIFY DeviceList::WatchHandle(HANDLE device, HWND notificationWindow)
{
    DEV_BROADCAST_HANDLE filter{};
    filter.dbch_size = sizeof filter;
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = device;
    return hid_.RegisterDeviceNotificationA(notificationWindow, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

CompDeviceInfo* DeviceList::FindBySerial(const DeviceRecord& record)
{
    CompDeviceInfo* found = nullptr;
    ForEach([&](CompDeviceInfo& entry) {
        if (found == nullptr && entry.record && !entry.record->removalPending &&
            std::wcsncmp(entry.record->serial, record.serial, kSerialCapacity) == 0)
            found = &entry;
    });
    return found;
}

void DeviceList::ReleaseRecord(DeviceRecord& record)
{
    if (record.notification != nullptr)
        hid_.UnregisterDeviceNotification(record.notification);
    record.notification = nullptr;
    if (IsOpenHandle(record.hidHandle))
        hid_.CloseHandle(record.hidHandle);
    record.hidHandle = nullptr;
}

void DeviceList::Reuse(CompDeviceInfo& entry, std::unique_ptr<DeviceRecord> record)
{
    Lock use(entry.useLock);
    // The port's threads work on the old interface's handles: they stop
    // before those close and start again on the new interface.
    ClosePortForNow(entry);
    std::unique_ptr<DeviceRecord> discarded;
    {
        Lock lock(listLock_);
        discarded = std::exchange(entry.record, std::move(record));
        if (entry.port)
            entry.port->TakeHidHandle(entry.record->hidHandle);
    }
    // Its handle and notification would otherwise stay open for as long as
    // the process runs.
    if (discarded)
        ReleaseRecord(*discarded);
    ReopenPortClosedForNow(entry);
}

void DeviceList::ClosePortForNow(CompDeviceInfo& entry)
{
    if (entry.port && entry.port->open) {
        entry.port->Close();
        entry.reopenPort = true;
    }
}

void DeviceList::ReopenPortClosedForNow(CompDeviceInfo& entry)
{
    if (entry.reopenPort && entry.record && IsOpenHandle(entry.record->hidHandle))
        OpenPortInUse(entry);
}

std::uint32_t DeviceList::NewHandleLocked()
{
    // 0 and all-ones name no device; after the counter wraps round, values
    // still held by live entries are passed over.
    for (;;) {
        const std::uint32_t candidate = ++lastHandle_;
        if (candidate != 0 && candidate != 0xFFFFFFFFu && FindLocked(candidate) == nullptr)
            return candidate;
    }
}

CompDeviceInfo* DeviceList::Append(std::unique_ptr<DeviceRecord> record, HWND notificationWindow)
{
    auto entry = std::make_unique<CompDeviceInfo>();
    const HANDLE device = record->hidHandle;
    entry->record = std::move(record);
    entry->port = std::make_unique<CComPort>(
        hid_, ::GetParent(notificationWindow), device, [this](HANDLE hidHandle) { return NameHidHandle(hidHandle); },
        portTimings_);
    CompDeviceInfo* appended = entry.release();
    Lock lock(listLock_);
    appended->handle = NewHandleLocked();
    appended->linked = true;
    appended->prev = head_.prev;
    appended->next = &head_;
    head_.prev->next = appended;
    head_.prev = appended;
    return appended;
}

bool DeviceList::ClosedDeviceHandles()
{
    bool allClosed = true;
    ForEach([&](CompDeviceInfo& entry) {
        Lock use(entry.useLock);
        // The port holds a read handle of its own, and its threads must be
        // gone before the handle they use is closed.
        ClosePortForNow(entry);
        if (!entry.record || !IsOpenHandle(entry.record->hidHandle))
            return;
        TraceAlways("PnPHandler: ClosedDeviceHandles: Closing handle for %s", entry.record->path);
        if (!hid_.CloseHandle(entry.record->hidHandle)) {
            allClosed = false;
            return;
        }
        entry.record->hidHandle = nullptr;
        // The port must not go on using a handle value the system may hand
        // out again for something else.
        if (entry.port)
            entry.port->TakeHidHandle(nullptr);
    });
    return allClosed;
}

int DeviceList::OpenPort(CompDeviceInfo* entry)
{
    Use held(*this, ToDeviceHandle(entry));
    if (held.Entry() == nullptr)
        return kErrFailed;
    Lock use(held.Entry()->useLock);
    return OpenPortInUse(*held.Entry());
}

int DeviceList::OpenPortInUse(CompDeviceInfo& entry)
{
    // A removal may have come between the look-up and the use.
    if (!entry.linked || !entry.port || !entry.record)
        return kErrFailed;
    CComPort& port = *entry.port;
    if (port.open) {
        port.errorCode = kErrAlreadyOpen;
        return kErrAlreadyOpen;
    }
    if (port.Open(entry.record->path, entry.handle) != kOk)
        return kErrFailed;
    entry.reopenPort = false;
    return kOk;
}

int DeviceList::RunCommand(DWORD_PTR deviceHandle, const HostTypeCommand& command)
{
    Use held(*this, deviceHandle);
    CompDeviceInfo* entry = held.Entry();
    if (entry == nullptr)
        return kErrFailed;
    // One command at a time per scanner, so only one caller opens the port.
    Lock use(entry->useLock);
    if (!entry->linked || !entry->port)
        return kErrFailed;
    CComPort& port = *entry->port;
    if (!port.open)
        OpenPortInUse(*entry);
    if (!port.open) {
        port.errorCode = kErrFailed;
        return kErrFailed;
    }
    port.errorCode = kOk;
    return RunHostTypeCommand(port, command);
}

CompDeviceInfo* DeviceList::FindLocked(DWORD_PTR deviceHandle)
{
    if (deviceHandle == 0 || deviceHandle == static_cast<DWORD_PTR>(-1) || deviceHandle > 0xFFFFFFFFu)
        return nullptr;
    for (CompDeviceInfo* entry = head_.next; entry != &head_; entry = entry->next) {
        if (entry->handle == deviceHandle)
            return entry;
    }
    return nullptr;
}

CompDeviceInfo* DeviceList::Find(DWORD_PTR deviceHandle)
{
    Lock lock(listLock_);
    return FindLocked(deviceHandle);
}

DWORD_PTR DeviceList::NameHidHandle(HANDLE hidHandle)
{
    if (!IsOpenHandle(hidHandle))
        return 0;
    Lock lock(listLock_);
    for (CompDeviceInfo* entry = head_.next; entry != &head_; entry = entry->next) {
        if (entry->record && entry->record->hidHandle == hidHandle)
            return entry->handle;
    }
    return 0;
}

void DeviceList::Remove(CompDeviceInfo* entry)
{
    bool unused = false;
    {
        Lock lock(listLock_);
        if (FindLocked(ToDeviceHandle(entry)) != entry)
            return;
        entry->prev->next = entry->next;
        entry->next->prev = entry->prev;
        entry->next = entry->prev = entry;
        entry->linked = false;
        unused = entry->users == 0;
    }
    if (unused)
        Free(entry);
}

void DeviceList::Release(CompDeviceInfo& entry)
{
    bool unused = false;
    {
        Lock lock(listLock_);
        unused = --entry.users == 0 && !entry.linked;
    }
    if (unused)
        Free(&entry);
}

void DeviceList::Free(CompDeviceInfo* entry)
{
    std::unique_ptr<CompDeviceInfo> freed(entry);
    // Stopped without the list lock: the threads name their device under it
    // while they finish.
    DropRecord(*freed);
}

void DeviceList::DropRecord(CompDeviceInfo& entry)
{
    std::unique_ptr<DeviceRecord> dropped;
    Lock use(entry.useLock);
    if (entry.port)
        entry.port->Close();
    {
        Lock lock(listLock_);
        dropped = std::move(entry.record);
        if (entry.port)
            entry.port->TakeHidHandle(nullptr);
    }
    if (dropped)
        ReleaseRecord(*dropped);
}

void DeviceList::ReleaseForRemoval(CompDeviceInfo& entry)
{
    Lock use(entry.useLock);
    // The port's own read handle would hold the device open as well, and
    // its threads must be gone before the handle they use is closed.
    ClosePortForNow(entry);
    if (!entry.record)
        return;
    if (entry.record->hidHandle != INVALID_HANDLE_VALUE)
        hid_.CloseHandle(entry.record->hidHandle);
    entry.record->hidHandle = INVALID_HANDLE_VALUE;
    if (entry.port)
        entry.port->TakeHidHandle(INVALID_HANDLE_VALUE);
}

bool DeviceList::Rewatch(CompDeviceInfo& entry, HWND notificationWindow)
{
    Lock use(entry.useLock);
    if (!entry.record)
        return false;
    // Refused before the query reached this handle, the handle is still open
    // and still watched: unwatching it would lose the scanner's removal.
    if (!IsOpenHandle(entry.record->hidHandle)) {
        if (!OpenAgain(*entry.record, notificationWindow))
            return false;
        if (entry.port)
            entry.port->TakeHidHandle(entry.record->hidHandle);
    }
    // A scanner found at Init sends its events without any command first.
    ReopenPortClosedForNow(entry);
    return true;
}

bool DeviceList::OpenAgain(DeviceRecord& record, HWND notificationWindow)
{
    if (record.notification != nullptr)
        hid_.UnregisterDeviceNotification(record.notification);
    record.notification = nullptr;
    DeviceHandle device(hid_, OpenForQueries(hid_, record.path));
    if (!device.IsOpen())
        return false;
    record.notification = WatchHandle(device.Get(), notificationWindow);
    record.watchedHandle = device.Get();
    record.hidHandle = device.Release();
    return true;
}

void DeviceList::MarkRemovalPending(CompDeviceInfo& entry)
{
    Lock lock(listLock_);
    if (entry.record)
        entry.record->removalPending = true;
}

bool DeviceList::IsLive(DWORD_PTR deviceHandle)
{
    Lock lock(listLock_);
    const CompDeviceInfo* entry = FindLocked(deviceHandle);
    return entry != nullptr && entry->record && !entry->record->removalPending;
}

void DeviceList::Clear()
{
    ForEach([this](CompDeviceInfo& entry) { Remove(&entry); });
}

std::size_t DeviceList::Count()
{
    Lock lock(listLock_);
    std::size_t count = 0;
    for (CompDeviceInfo* entry = head_.next; entry != &head_; entry = entry->next)
        ++count;
    return count;
}

}  // namespace pellion

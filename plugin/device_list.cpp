#include "plugin/device_list.h"

#include <algorithm>
#include <cstddef>
#include <cwchar>
#include <new>
#include <vector>

#include "plugin/trace.h"

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

DeviceList::DeviceList(const HidApi& hid) : hid_(hid) {}

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
    // The discarded record's handle and notification would otherwise stay
    // open for as long as the process runs.
    std::unique_ptr<DeviceRecord> discarded;
    {
        Lock lock(listLock_);
        discarded = std::exchange(entry.record, std::move(record));
        if (entry.port)
            entry.port->TakeHidHandle(entry.record->hidHandle);
    }
    if (discarded)
        ReleaseRecord(*discarded);
}

CompDeviceInfo* DeviceList::Append(std::unique_ptr<DeviceRecord> record, HWND notificationWindow)
{
    auto entry = std::make_unique<CompDeviceInfo>();
    const HANDLE device = record->hidHandle;
    entry->record = std::move(record);
    entry->port = std::make_unique<CComPort>(hid_, ::GetParent(notificationWindow), device,
                                             [this](HANDLE hidHandle) { return NameHidHandle(hidHandle); });
    CompDeviceInfo* appended = entry.release();
    Lock lock(listLock_);
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
    if (Find(ToDeviceHandle(entry)) == nullptr || !entry->port)
        return kErrFailed;
    CComPort& port = *entry->port;
    if (port.open) {
        port.errorCode = kErrAlreadyOpen;
        return kErrAlreadyOpen;
    }
    const char* path = entry->record ? entry->record->path : "";
    return port.Open(path, ToDeviceHandle(entry)) == kOk ? kOk : kErrFailed;
}

int DeviceList::RunCommand(DWORD_PTR deviceHandle, const HostTypeCommand& command)
{
    CompDeviceInfo* entry = Find(deviceHandle);
    if (entry == nullptr || !entry->port)
        return kErrFailed;
    CComPort& port = *entry->port;
    if (!port.open)
        OpenPort(entry);
    if (!port.open) {
        port.errorCode = kErrFailed;
        return kErrFailed;
    }
    port.errorCode = kOk;
    return RunHostTypeCommand(port, command);
}

CompDeviceInfo* DeviceList::Find(DWORD_PTR deviceHandle)
{
    if (deviceHandle == 0 || deviceHandle == static_cast<DWORD_PTR>(-1))
        return nullptr;
    Lock lock(listLock_);
    for (CompDeviceInfo* entry = head_.next; entry != &head_; entry = entry->next) {
        if (ToDeviceHandle(entry) == deviceHandle)
            return entry;
    }
    return nullptr;
}

DWORD_PTR DeviceList::NameHidHandle(HANDLE hidHandle)
{
    Lock lock(listLock_);
    for (CompDeviceInfo* entry = head_.next; entry != &head_; entry = entry->next) {
        if (entry->record && entry->record->hidHandle == hidHandle)
            return ToDeviceHandle(entry);
    }
    return 0;
}

void DeviceList::Remove(CompDeviceInfo* entry)
{
    if (Find(ToDeviceHandle(entry)) == nullptr)
        return;
    // Stopped before the lock is taken: the threads name their device
    // under it while they finish.
    if (entry->port)
        entry->port->Close();
    std::unique_ptr<CompDeviceInfo> unlinked;
    {
        Lock lock(listLock_);
        entry->prev->next = entry->next;
        entry->next->prev = entry->prev;
        unlinked.reset(entry);
    }
    if (unlinked->record)
        ReleaseRecord(*unlinked->record);
}

void DeviceList::DropRecord(CompDeviceInfo& entry)
{
    std::unique_ptr<DeviceRecord> dropped;
    {
        Lock lock(listLock_);
        dropped = std::move(entry.record);
        // The port must not go on using a handle that is about to close.
        if (entry.port)
            entry.port->TakeHidHandle(nullptr);
    }
    if (dropped)
        ReleaseRecord(*dropped);
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
    for (CompDeviceInfo* entry = head_.next; entry != &head_; entry = entry->next) {
        if (ToDeviceHandle(entry) == deviceHandle)
            return entry->record && !entry->record->removalPending;
    }
    return false;
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

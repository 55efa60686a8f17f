#include "tests/plugin/support/simulated_hid.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace pellion::testing {
namespace {

constexpr NTSTATUS kHidpStatusSuccess = static_cast<NTSTATUS>(0x00110000);
constexpr NTSTATUS kHidpStatusInvalidPreparsedData = static_cast<NTSTATUS>(0xC0110001);
// {4D1E55B2-F16F-11CF-88CB-001111000030}, the HID interface class.
constexpr GUID kHidGuid = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

SimulatedHid* current = nullptr;

struct PreparsedToken {
    SimulatedScanner* scanner;
};

BOOL Fail(DWORD error)
{
    ::SetLastError(error);
    return FALSE;
}

void NTAPI SimHidGuid(LPGUID guid)
{
    *guid = kHidGuid;
}
HDEVINFO WINAPI SimGetClassDevs(const GUID* guid, PCSTR, HWND, DWORD flags)
{
    return SimulatedHid::Current().GetClassDevs(guid, flags);
}
BOOL WINAPI SimEnumInterfaces(HDEVINFO set, PSP_DEVINFO_DATA, const GUID* guid, DWORD index,
                              PSP_DEVICE_INTERFACE_DATA data)
{
    return SimulatedHid::Current().EnumInterfaces(set, guid, index, data);
}
BOOL WINAPI SimInterfaceDetail(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data, PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                               DWORD size, PDWORD required, PSP_DEVINFO_DATA)
{
    return SimulatedHid::Current().InterfaceDetail(set, data, detail, size, required);
}
BOOL WINAPI SimDestroySet(HDEVINFO set)
{
    return SimulatedHid::Current().DestroySet(set);
}
HANDLE WINAPI SimCreateFile(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    return SimulatedHid::Current().Open(path, access);
}
BOOL WINAPI SimCloseHandle(HANDLE handle)
{
    return SimulatedHid::Current().Close(handle);
}
BOOL WINAPI SimReadFile(HANDLE handle, LPVOID buffer, DWORD length, LPDWORD, LPOVERLAPPED overlapped)
{
    return SimulatedHid::Current().Read(handle, buffer, length, overlapped);
}
BOOL WINAPI SimOverlappedResult(HANDLE handle, LPOVERLAPPED overlapped, LPDWORD transferred, BOOL wait)
{
    return SimulatedHid::Current().Result(handle, overlapped, transferred, wait);
}
BOOL WINAPI SimCancelIo(HANDLE handle)
{
    return SimulatedHid::Current().Cancel(handle);
}
BOOLEAN NTAPI SimAttributes(HANDLE handle, PHIDD_ATTRIBUTES attributes)
{
    return SimulatedHid::Current().Attributes(handle, attributes);
}
BOOLEAN NTAPI SimSerial(HANDLE handle, PVOID buffer, ULONG length)
{
    return SimulatedHid::Current().Serial(handle, buffer, length);
}
BOOLEAN NTAPI SimPreparsed(HANDLE handle, PHIDP_PREPARSED_DATA* data)
{
    return SimulatedHid::Current().Preparsed(handle, data);
}
BOOLEAN NTAPI SimFreePreparsed(PHIDP_PREPARSED_DATA data)
{
    return SimulatedHid::Current().FreePreparsed(data);
}
NTSTATUS NTAPI SimCaps(PHIDP_PREPARSED_DATA data, PHIDP_CAPS caps)
{
    return SimulatedHid::Current().Caps(data, caps);
}
BOOLEAN NTAPI SimGetFeature(HANDLE handle, PVOID report, ULONG length)
{
    return SimulatedHid::Current().GetFeature(handle, report, length);
}
BOOLEAN NTAPI SimSetFeature(HANDLE handle, PVOID report, ULONG length)
{
    return SimulatedHid::Current().SetFeature(handle, report, length);
}
HDEVNOTIFY WINAPI SimRegister(HANDLE recipient, LPVOID filter, DWORD flags)
{
    return SimulatedHid::Current().Register(recipient, filter, flags);
}
BOOL WINAPI SimUnregister(HDEVNOTIFY notification)
{
    return SimulatedHid::Current().Unregister(notification);
}

BOOL WINAPI SimRegisterSession(HWND window, DWORD flags)
{
    return SimulatedHid::Current().RegisterSession(window, flags);
}
BOOL WINAPI SimUnregisterSession(HWND window)
{
    return SimulatedHid::Current().UnregisterSession(window);
}
DWORD WINAPI SimWaitNoPendingInstallEvents(DWORD timeoutMs)
{
    return SimulatedHid::Current().WaitNoPendingInstallEvents(timeoutMs);
}

const HidApi kSimulatedApi{
    SimHidGuid,     SimGetClassDevs, SimEnumInterfaces, SimInterfaceDetail, SimDestroySet,
    SimCreateFile,  SimCloseHandle,  SimReadFile,       SimOverlappedResult, SimCancelIo,
    SimAttributes,  SimSerial,       SimPreparsed,      SimFreePreparsed,   SimCaps,
    SimGetFeature,  SimSetFeature,   SimRegister,       SimUnregister,
    SimRegisterSession, SimUnregisterSession, SimWaitNoPendingInstallEvents,
};

template <typename Ready>
bool WaitUntil(std::mutex& mutex, std::condition_variable& changed, DWORD timeoutMs, Ready&& ready)
{
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
}

}  // namespace

// ---- the scanner, as tests drive it ----

void SimulatedScanner::PushReport(const Bytes& report)
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    LPOVERLAPPED overlapped = nullptr;
    if (hid_.FirstPendingLocked(*this, overlapped))
        hid_.CompleteLocked(overlapped, hid_.transfers_[overlapped], ERROR_SUCCESS, &report);
    else
        reports_.push_back(report);
}

void SimulatedScanner::Unplug()
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    unplugged_ = true;
    for (auto& [handle, open] : hid_.handles_) {
        if (open.scanner == this)
            hid_.FinishPendingLocked(handle, ERROR_DEVICE_NOT_CONNECTED);
    }
    hid_.changed_.notify_all();
}

void SimulatedScanner::HangReads()
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    if (hangGate_ == nullptr)
        hangGate_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ::ResetEvent(hangGate_);
    hangReads_ = true;
}

void SimulatedScanner::ReleaseReads()
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    hangReads_ = false;
    if (hangGate_ != nullptr)
        ::SetEvent(hangGate_);
}

void SimulatedScanner::SetCapability(std::uint8_t capability)
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    profile_.capability = capability;
}

void SimulatedScanner::FailFeatureReads(bool fail)
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    failFeatureReads_ = fail;
}

void SimulatedScanner::FailFeatureWrites(DWORD error)
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    failFeatureWrites_ = error;
}

std::vector<Bytes> SimulatedScanner::FeatureWrites()
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    return featureWrites_;
}

bool SimulatedScanner::WaitForFeatureWrites(std::size_t count, DWORD timeoutMs)
{
    return WaitUntil(hid_.mutex_, hid_.changed_, timeoutMs, [&] { return featureWrites_.size() >= count; });
}

bool SimulatedScanner::WaitForPendingRead(DWORD timeoutMs)
{
    return WaitUntil(hid_.mutex_, hid_.changed_, timeoutMs, [&] {
        LPOVERLAPPED ignored = nullptr;
        return hid_.FirstPendingLocked(*this, ignored);
    });
}

std::size_t SimulatedScanner::FeatureReads()
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    return featureReads_;
}

std::size_t SimulatedScanner::RefusedReads()
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    return refusedReads_;
}

std::size_t SimulatedScanner::OutstandingReads()
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    std::size_t count = 0;
    for (const auto& [overlapped, transfer] : hid_.transfers_) {
        const auto open = hid_.handles_.find(transfer.handle);
        if (transfer.pending && open != hid_.handles_.end() && open->second.scanner == this)
            ++count;
    }
    return count;
}

bool SimulatedScanner::SawOverlappingReads()
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    return overlappingReads_;
}

bool SimulatedScanner::Unplugged()
{
    std::lock_guard<std::mutex> lock(hid_.mutex_);
    return unplugged_;
}

// ---- the set of scanners ----

SimulatedHid::SimulatedHid() = default;

SimulatedHid::~SimulatedHid()
{
    for (SimulatedScanner& scanner : scanners_) {
        if (scanner.hangGate_ != nullptr)
            ::CloseHandle(scanner.hangGate_);
    }
}

SimulatedScanner& SimulatedHid::Add(ScannerProfile profile)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return scanners_.emplace_back(*this, std::move(profile));
}

const HidApi& SimulatedHid::Api() const
{
    return kSimulatedApi;
}

GUID SimulatedHid::HidGuid()
{
    return kHidGuid;
}

SimulatedHid& SimulatedHid::Current()
{
    return *current;
}

void SimulatedHid::FailDeviceSets(bool fail)
{
    std::lock_guard<std::mutex> lock(mutex_);
    failDeviceSets_ = fail;
}

std::size_t SimulatedHid::OpenHandles()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return handles_.size();
}

std::size_t SimulatedHid::OpenHandlesWithAccess(DWORD access)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return std::count_if(handles_.begin(), handles_.end(),
                         [access](const auto& open) { return open.second.access == access; });
}

std::size_t SimulatedHid::RegisteredNotifications()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return notifications_.size();
}

std::size_t SimulatedHid::OpenDeviceSets()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sets_.size();
}

std::size_t SimulatedHid::OutstandingPreparsedData()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return preparsed_;
}

std::size_t SimulatedHid::ClosedHandleUses()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return closedHandleUses_;
}

SimulatedScanner* SimulatedHid::ScannerOf(HANDLE handle, DWORD* access)
{
    const auto open = handles_.find(handle);
    if (open == handles_.end()) {
        closedHandleUses_ += closed_.count(handle);
        return nullptr;
    }
    if (access != nullptr)
        *access = open->second.access;
    return open->second.scanner;
}

SimulatedScanner* SimulatedHid::Usable(HANDLE handle, DWORD* access)
{
    SimulatedScanner* scanner = ScannerOf(handle, access);
    if (scanner == nullptr) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (scanner->unplugged_) {
        ::SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return nullptr;
    }
    return scanner;
}

bool SimulatedHid::FirstPendingLocked(SimulatedScanner& scanner, LPOVERLAPPED& overlapped)
{
    for (auto& [candidate, transfer] : transfers_) {
        if (transfer.pending && ScannerOf(transfer.handle) == &scanner) {
            overlapped = candidate;
            return true;
        }
    }
    return false;
}

void SimulatedHid::CompleteLocked(LPOVERLAPPED overlapped, Transfer& transfer, DWORD error, const Bytes* report)
{
    transfer.pending = false;
    transfer.error = error;
    if (report != nullptr) {
        transfer.bytes = static_cast<DWORD>(std::min<std::size_t>(report->size(), transfer.length));
        std::memcpy(transfer.buffer, report->data(), transfer.bytes);
    }
    ::SetEvent(overlapped->hEvent);
    changed_.notify_all();
}

void SimulatedHid::FinishPendingLocked(HANDLE handle, DWORD error)
{
    for (auto& [overlapped, transfer] : transfers_) {
        if (transfer.pending && transfer.handle == handle)
            CompleteLocked(overlapped, transfer, error, nullptr);
    }
}

// ---- the device-call table ----

HDEVINFO SimulatedHid::GetClassDevs(const GUID* guid, DWORD flags)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (failDeviceSets_ || guid == nullptr || !IsEqualGUID(*guid, kHidGuid) ||
        flags != (DIGCF_PRESENT | DIGCF_DEVICEINTERFACE))
        return static_cast<HDEVINFO>(INVALID_HANDLE_VALUE);
    const auto set = reinterpret_cast<HDEVINFO>(nextValue_ += 4);
    std::vector<SimulatedScanner*>& members = sets_[set];
    for (SimulatedScanner& scanner : scanners_) {
        if (!scanner.unplugged_)
            members.push_back(&scanner);
    }
    return set;
}

BOOL SimulatedHid::EnumInterfaces(HDEVINFO set, const GUID* guid, DWORD index, PSP_DEVICE_INTERFACE_DATA data)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = sets_.find(set);
    if (found == sets_.end() || guid == nullptr || data == nullptr || data->cbSize != sizeof *data)
        return Fail(ERROR_INVALID_PARAMETER);
    if (index >= found->second.size())
        return Fail(ERROR_NO_MORE_ITEMS);
    data->InterfaceClassGuid = *guid;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = index;
    return TRUE;
}

BOOL SimulatedHid::InterfaceDetail(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                   PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD size, PDWORD required)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = sets_.find(set);
    if (found == sets_.end() || data == nullptr || data->Reserved >= found->second.size())
        return Fail(ERROR_INVALID_PARAMETER);
    const std::string& path = found->second[data->Reserved]->profile_.path;
    const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + 1);
    if (required != nullptr)
        *required = needed;
    if (detail == nullptr || size < needed)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
        return Fail(ERROR_INVALID_USER_BUFFER);
    std::memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
    return TRUE;
}

BOOL SimulatedHid::DestroySet(HDEVINFO set)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sets_.erase(set) == 1 ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

HANDLE SimulatedHid::Open(LPCSTR path, DWORD access)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (SimulatedScanner& scanner : scanners_) {
        if (scanner.unplugged_ || scanner.profile_.path != path)
            continue;
        if ((access & GENERIC_READ) && scanner.profile_.refuseReadAccess) {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        const auto handle = reinterpret_cast<HANDLE>(nextValue_ += 4);
        handles_[handle] = OpenHandle{&scanner, access};
        return handle;
    }
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL SimulatedHid::Close(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (ScannerOf(handle) == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    FinishPendingLocked(handle, ERROR_OPERATION_ABORTED);
    handles_.erase(handle);
    closed_.insert(handle);
    changed_.notify_all();
    return TRUE;
}

BOOL SimulatedHid::Read(HANDLE handle, LPVOID buffer, DWORD length, LPOVERLAPPED overlapped)
{
    std::unique_lock<std::mutex> lock(mutex_);
    DWORD access = 0;
    SimulatedScanner* scanner = Usable(handle, &access);
    if (scanner == nullptr)
        return FALSE;
    if (!(access & GENERIC_READ)) {
        ++scanner->refusedReads_;
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (scanner->hangReads_) {
        const HANDLE gate = scanner->hangGate_;
        lock.unlock();
        ::WaitForSingleObject(gate, INFINITE);
        lock.lock();
    }
    LPOVERLAPPED ignored = nullptr;
    if (FirstPendingLocked(*scanner, ignored))
        scanner->overlappingReads_ = true;
    ::ResetEvent(overlapped->hEvent);
    Transfer& transfer = transfers_[overlapped];
    transfer = Transfer{handle, static_cast<std::uint8_t*>(buffer), length, true};
    if (!scanner->reports_.empty()) {
        const Bytes report = scanner->reports_.front();
        scanner->reports_.pop_front();
        CompleteLocked(overlapped, transfer, ERROR_SUCCESS, &report);
        return TRUE;
    }
    changed_.notify_all();
    return Fail(ERROR_IO_PENDING);
}

BOOL SimulatedHid::Result(HANDLE handle, LPOVERLAPPED overlapped, LPDWORD transferred, BOOL wait)
{
    std::unique_lock<std::mutex> lock(mutex_);
    auto found = transfers_.find(overlapped);
    if (found == transfers_.end() || found->second.handle != handle)
        return Fail(ERROR_INVALID_PARAMETER);
    if (found->second.pending && !wait)
        return Fail(ERROR_IO_INCOMPLETE);
    changed_.wait(lock, [&] { return !found->second.pending; });
    *transferred = found->second.bytes;
    return found->second.error == ERROR_SUCCESS ? TRUE : Fail(found->second.error);
}

BOOL SimulatedHid::Cancel(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (ScannerOf(handle) == nullptr)
        return Fail(ERROR_INVALID_HANDLE);
    FinishPendingLocked(handle, ERROR_OPERATION_ABORTED);
    return TRUE;
}

BOOLEAN SimulatedHid::Attributes(HANDLE handle, PHIDD_ATTRIBUTES attributes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimulatedScanner* scanner = Usable(handle);
    if (scanner == nullptr || attributes->Size != sizeof *attributes)
        return FALSE;
    attributes->VendorID = scanner->profile_.vendorId;
    attributes->ProductID = scanner->profile_.productId;
    attributes->VersionNumber = 0x0100;
    return TRUE;
}

BOOLEAN SimulatedHid::Serial(HANDLE handle, PVOID buffer, ULONG length)
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimulatedScanner* scanner = Usable(handle);
    if (scanner == nullptr || scanner->profile_.serialUnreadable)
        return FALSE;
    const std::wstring& serial = scanner->profile_.serial;
    const std::size_t bytes = std::min<std::size_t>((serial.size() + 1) * sizeof(wchar_t), length);
    std::memcpy(buffer, serial.c_str(), bytes);
    return TRUE;
}

BOOLEAN SimulatedHid::Preparsed(HANDLE handle, PHIDP_PREPARSED_DATA* data)
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimulatedScanner* scanner = Usable(handle);
    if (scanner == nullptr)
        return FALSE;
    *data = reinterpret_cast<PHIDP_PREPARSED_DATA>(new PreparsedToken{scanner});
    ++preparsed_;
    return TRUE;
}

BOOLEAN SimulatedHid::FreePreparsed(PHIDP_PREPARSED_DATA data)
{
    std::lock_guard<std::mutex> lock(mutex_);
    delete reinterpret_cast<PreparsedToken*>(data);
    --preparsed_;
    return TRUE;
}

NTSTATUS SimulatedHid::Caps(PHIDP_PREPARSED_DATA data, PHIDP_CAPS caps)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (data == nullptr)
        return kHidpStatusInvalidPreparsedData;
    const ScannerProfile& profile = reinterpret_cast<PreparsedToken*>(data)->scanner->profile_;
    *caps = HIDP_CAPS{};
    caps->InputReportByteLength = profile.inputReportLength;
    caps->OutputReportByteLength = profile.outputReportLength;
    caps->FeatureReportByteLength = profile.featureReportLength;
    return kHidpStatusSuccess;
}

BOOLEAN SimulatedHid::GetFeature(HANDLE handle, PVOID report, ULONG length)
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimulatedScanner* scanner = Usable(handle);
    if (scanner == nullptr)
        return FALSE;
    ++scanner->featureReads_;
    if (scanner->failFeatureReads_ || length < 2)
        return Fail(ERROR_GEN_FAILURE);
    static_cast<std::uint8_t*>(report)[1] = scanner->profile_.capability;
    return TRUE;
}

BOOLEAN SimulatedHid::SetFeature(HANDLE handle, PVOID report, ULONG length)
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimulatedScanner* scanner = Usable(handle);
    if (scanner == nullptr)
        return FALSE;
    if (scanner->failFeatureWrites_ != ERROR_SUCCESS)
        return Fail(scanner->failFeatureWrites_);
    const auto* bytes = static_cast<const std::uint8_t*>(report);
    scanner->featureWrites_.emplace_back(bytes, bytes + length);
    changed_.notify_all();
    return TRUE;
}

HDEVNOTIFY SimulatedHid::Register(HANDLE recipient, LPVOID filter, DWORD flags)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto* classFilter = static_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(filter);
    if (classFilter->dbcc_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
        if (recipient == nullptr || flags != DEVICE_NOTIFY_WINDOW_HANDLE || classFilter->dbcc_size != sizeof *classFilter ||
            std::memcmp(&classFilter->dbcc_classguid, &kHidGuid, sizeof kHidGuid) != 0) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        const auto notification = reinterpret_cast<HDEVNOTIFY>(nextValue_ += 4);
        interfaceRegistrations_[notification] = static_cast<HWND>(recipient);
        return notification;
    }
    const auto* broadcast = static_cast<const DEV_BROADCAST_HANDLE*>(filter);
    if (recipient == nullptr || flags != DEVICE_NOTIFY_WINDOW_HANDLE || broadcast->dbch_size != sizeof *broadcast ||
        broadcast->dbch_devicetype != DBT_DEVTYP_HANDLE || ScannerOf(broadcast->dbch_handle) == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto notification = reinterpret_cast<HDEVNOTIFY>(nextValue_ += 4);
    notifications_[notification] = broadcast->dbch_handle;
    return notification;
}

BOOL SimulatedHid::Unregister(HDEVNOTIFY notification)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (interfaceRegistrations_.erase(notification) == 1)
        return TRUE;
    return notifications_.erase(notification) == 1 ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

BOOL SimulatedHid::RegisterSession(HWND window, DWORD flags)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (window == nullptr || flags != NOTIFY_FOR_ALL_SESSIONS)
        return Fail(ERROR_INVALID_PARAMETER);
    sessionWindow_ = window;
    return TRUE;
}

BOOL SimulatedHid::UnregisterSession(HWND window)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (window != sessionWindow_)
        return Fail(ERROR_INVALID_PARAMETER);
    sessionWindow_ = nullptr;
    return TRUE;
}

DWORD SimulatedHid::WaitNoPendingInstallEvents(DWORD)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++installPolls_;
    changed_.notify_all();
    return installState_;
}

void SimulatedHid::SetInstallState(DWORD state)
{
    std::lock_guard<std::mutex> lock(mutex_);
    installState_ = state;
}

std::size_t SimulatedHid::InstallPolls()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return installPolls_;
}

HANDLE SimulatedHid::WatchedHandleOf(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [notification, handle] : notifications_) {
        const auto open = handles_.find(handle);
        if (open != handles_.end() && open->second.scanner->profile_.path == path)
            return handle;
    }
    return nullptr;
}

std::size_t SimulatedHid::InterfaceRegistrations()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return interfaceRegistrations_.size();
}

HWND SimulatedHid::SessionWindow()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sessionWindow_;
}

LRESULT SendInterfaceChange(HWND window, WPARAM event, const std::string& path)
{
    std::vector<std::uint8_t> storage(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + path.size() + 1, 0);
    auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(storage.data());
    broadcast->dbcc_size = static_cast<DWORD>(storage.size());
    broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    broadcast->dbcc_classguid = kHidGuid;
    std::memcpy(broadcast->dbcc_name, path.c_str(), path.size() + 1);
    return ::SendMessageA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(broadcast));
}

LRESULT SendHandleChange(HWND window, WPARAM event, HANDLE watched)
{
    DEV_BROADCAST_HANDLE broadcast{};
    broadcast.dbch_size = sizeof broadcast;
    broadcast.dbch_devicetype = DBT_DEVTYP_HANDLE;
    broadcast.dbch_handle = watched;
    return ::SendMessageA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&broadcast));
}

ScopedSimulation::ScopedSimulation(SimulatedHid& hid)
{
    current = &hid;
}

ScopedSimulation::~ScopedSimulation()
{
    current = nullptr;
}

}  // namespace pellion::testing

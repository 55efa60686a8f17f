#pragma once

#include <condition_variable>
#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "plugin/devices/hid_api.h"

namespace pellion::testing {

using Bytes = std::vector<std::uint8_t>;

struct ScannerProfile {
    std::string path;
    std::uint16_t vendorId = kScannerVendorIdForTests;
    std::uint16_t productId = kScannerProductIdForTests;
    std::wstring serial;
    std::uint8_t capability = 0x03;
    std::uint16_t featureReportLength = 10;
    std::uint16_t inputReportLength = 64;
    std::uint16_t outputReportLength = 0;
    // The system keeps keyboard collections to itself: opening one for
    // reading is refused.
    bool refuseReadAccess = false;
    bool serialUnreadable = false;

    static constexpr std::uint16_t kScannerVendorIdForTests = 0x05E0;
    static constexpr std::uint16_t kScannerProductIdForTests = 0x1200;
};

class SimulatedHid;

// One simulated HID interface. Reads behave as Windows reads do: refused at
// once on a handle opened without read access, pending until a report is
// pushed, cancelled by CancelIo or CloseHandle, failed by unplugging.
class SimulatedScanner {
public:
    SimulatedScanner(SimulatedHid& hid, ScannerProfile profile) : hid_(hid), profile_(std::move(profile)) {}

    const ScannerProfile& Profile() const { return profile_; }
    void PushReport(const Bytes& report);
    void Unplug();
    // Makes the next reads block inside ReadFile until released.
    void HangReads();
    void ReleaseReads();
    void SetCapability(std::uint8_t capability);
    void FailFeatureReads(bool fail);
    void FailFeatureWrites(DWORD error);

    std::vector<Bytes> FeatureWrites();
    bool WaitForFeatureWrites(std::size_t count, DWORD timeoutMs);
    bool WaitForPendingRead(DWORD timeoutMs);
    std::size_t FeatureReads();
    std::size_t RefusedReads();
    std::size_t OutstandingReads();
    bool SawOverlappingReads();
    bool Unplugged();

private:
    friend class SimulatedHid;

    SimulatedHid& hid_;
    ScannerProfile profile_;
    bool unplugged_ = false;
    bool hangReads_ = false;
    bool failFeatureReads_ = false;
    DWORD failFeatureWrites_ = ERROR_SUCCESS;
    std::list<Bytes> reports_;
    std::vector<Bytes> featureWrites_;
    std::size_t featureReads_ = 0;
    std::size_t refusedReads_ = 0;
    bool overlappingReads_ = false;
    HANDLE hangGate_ = nullptr;
};

// A set of simulated scanners behind the device-call table. Bound while
// a ScopedSimulation lives; one at a time.
class SimulatedHid {
public:
    SimulatedHid();
    ~SimulatedHid();
    SimulatedHid(const SimulatedHid&) = delete;
    SimulatedHid& operator=(const SimulatedHid&) = delete;

    SimulatedScanner& Add(ScannerProfile profile);
    const HidApi& Api() const;
    static GUID HidGuid();

    void FailDeviceSets(bool fail);
    // What the install-events poll answers from now on: 0 nothing pending,
    // WAIT_TIMEOUT still installing, WAIT_FAILED.
    void SetInstallState(DWORD state);
    std::size_t InstallPolls();
    // The handle a scanner's handle notification watches, as the system
    // names it in that scanner's handle events; null when none is watched.
    HANDLE WatchedHandleOf(const std::string& path);
    std::size_t InterfaceRegistrations();
    HWND SessionWindow();
    std::size_t OpenHandles();
    std::size_t OpenHandlesWithAccess(DWORD access);
    std::size_t RegisteredNotifications();
    std::size_t OpenDeviceSets();
    std::size_t OutstandingPreparsedData();
    // Calls naming a handle after it was closed; the simulation never hands
    // out a value twice, so every one is a use after close.
    std::size_t ClosedHandleUses();

    // Called by the table's functions.
    static SimulatedHid& Current();
    HDEVINFO GetClassDevs(const GUID* guid, DWORD flags);
    BOOL EnumInterfaces(HDEVINFO set, const GUID* guid, DWORD index, PSP_DEVICE_INTERFACE_DATA data);
    BOOL InterfaceDetail(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data, PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                         DWORD size, PDWORD required);
    BOOL DestroySet(HDEVINFO set);
    HANDLE Open(LPCSTR path, DWORD access);
    BOOL Close(HANDLE handle);
    BOOL Read(HANDLE handle, LPVOID buffer, DWORD length, LPOVERLAPPED overlapped);
    BOOL Result(HANDLE handle, LPOVERLAPPED overlapped, LPDWORD transferred, BOOL wait);
    BOOL Cancel(HANDLE handle);
    BOOLEAN Attributes(HANDLE handle, PHIDD_ATTRIBUTES attributes);
    BOOLEAN Serial(HANDLE handle, PVOID buffer, ULONG length);
    BOOLEAN Preparsed(HANDLE handle, PHIDP_PREPARSED_DATA* data);
    BOOLEAN FreePreparsed(PHIDP_PREPARSED_DATA data);
    NTSTATUS Caps(PHIDP_PREPARSED_DATA data, PHIDP_CAPS caps);
    BOOLEAN GetFeature(HANDLE handle, PVOID report, ULONG length);
    BOOLEAN SetFeature(HANDLE handle, PVOID report, ULONG length);
    HDEVNOTIFY Register(HANDLE recipient, LPVOID filter, DWORD flags);
    BOOL Unregister(HDEVNOTIFY notification);
    BOOL RegisterSession(HWND window, DWORD flags);
    BOOL UnregisterSession(HWND window);
    DWORD WaitNoPendingInstallEvents(DWORD timeoutMs);

private:
    friend class SimulatedScanner;
    friend class ScopedSimulation;

    struct OpenHandle {
        SimulatedScanner* scanner;
        DWORD access;
    };
    struct Transfer {
        HANDLE handle = nullptr;
        std::uint8_t* buffer = nullptr;
        DWORD length = 0;
        bool pending = false;
        DWORD error = ERROR_SUCCESS;
        DWORD bytes = 0;
    };

    SimulatedScanner* ScannerOf(HANDLE handle, DWORD* access = nullptr);
    SimulatedScanner* Usable(HANDLE handle, DWORD* access = nullptr);
    void CompleteLocked(LPOVERLAPPED overlapped, Transfer& transfer, DWORD error, const Bytes* report);
    void FinishPendingLocked(HANDLE handle, DWORD error);
    bool FirstPendingLocked(SimulatedScanner& scanner, LPOVERLAPPED& overlapped);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::list<SimulatedScanner> scanners_;
    std::map<HANDLE, OpenHandle> handles_;
    std::set<HANDLE> closed_;
    std::size_t closedHandleUses_ = 0;
    std::map<LPOVERLAPPED, Transfer> transfers_;
    std::map<HDEVNOTIFY, HANDLE> notifications_;
    std::map<HDEVINFO, std::vector<SimulatedScanner*>> sets_;
    std::map<HDEVNOTIFY, HWND> interfaceRegistrations_;
    HWND sessionWindow_ = nullptr;
    DWORD installState_ = 0;
    std::size_t installPolls_ = 0;
    std::size_t preparsed_ = 0;
    std::uintptr_t nextValue_ = 0x10000;
    bool failDeviceSets_ = false;
};

// The system's device notifications, sent to a window as real messages.
LRESULT SendInterfaceChange(HWND window, WPARAM event, const std::string& path);
// The system names a handle in its events even after it is closed.
LRESULT SendHandleChange(HWND window, WPARAM event, HANDLE watched);

class ScopedSimulation {
public:
    explicit ScopedSimulation(SimulatedHid& hid);
    ~ScopedSimulation();
    ScopedSimulation(const ScopedSimulation&) = delete;
    ScopedSimulation& operator=(const ScopedSimulation&) = delete;
};

}  // namespace pellion::testing

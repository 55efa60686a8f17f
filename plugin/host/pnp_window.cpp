#include "plugin/host/pnp_window.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <memory>

#include "plugin/devices/scanner_records.h"
#include "plugin/host/handler_gate.h"
#include "plugin/host/trace.h"

namespace pellion {
namespace {

constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW;
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
// Device events are the 0x8000 range; the others (such as a change of the
// device tree) carry no broadcast to act on.
constexpr WPARAM kEventRangeMask = 0xC000;
constexpr WPARAM kDeviceEventRange = 0x8000;
constexpr std::size_t kGuidTextBegin = 4;
constexpr std::size_t kGuidTextEnd = 36;

static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) == 32);
static_assert(sizeof(WNDCLASSEXA) == (kIs32BitBuild ? 48 : 80));

PnpWindow* WindowOf(HWND window)
{
    return reinterpret_cast<PnpWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

void RegisterHiddenClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = kClassStyle;
    windowClass.lpfnWndProc = &PnpWindow::PnPHandler;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = ::LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kHiddenWindowClass;
    // Already registered by an earlier Init of this load: the same class.
    ::RegisterClassExA(&windowClass);
}

// The text OpenDevice wrote from the whole serial-number string; the GUID
// text is its bytes 4 to 35.
std::string GuidTextOf(const char* buffer)
{
    const std::size_t length = ::strnlen(buffer, kGuidTextBufferBytes);
    if (length <= kGuidTextBegin)
        return {};
    return std::string(buffer + kGuidTextBegin, std::min(length, kGuidTextEnd) - kGuidTextBegin);
}

// The entry the system means by a handle event. After a query-remove the
// record holds all-ones, yet the later events still name the old handle.
CompDeviceInfo* EntryWatching(DeviceList& devices, HANDLE handle)
{
    if (CompDeviceInfo* entry = devices.Find(devices.NameHidHandle(handle)))
        return entry;
    CompDeviceInfo* found = nullptr;
    devices.ForEach([&](CompDeviceInfo& entry) {
        if (found == nullptr && entry.record && entry.record->hidHandle == INVALID_HANDLE_VALUE &&
            entry.record->watchedHandle == handle)
            found = &entry;
    });
    return found;
}

// The entry of an interface whose handle a query-remove or remove-pending
// closed; its handle events have stopped, so the interface's own removal
// is the one left to act on.
CompDeviceInfo* PendingEntryAt(DeviceList& devices, const char* path)
{
    CompDeviceInfo* found = nullptr;
    devices.ForEach([&](CompDeviceInfo& entry) {
        if (found == nullptr && entry.record && entry.record->hidHandle == INVALID_HANDLE_VALUE &&
            !entry.record->removalPending && ::lstrcmpiA(entry.record->path, path) == 0)
            found = &entry;
    });
    return found;
}

}  // namespace

PnpWindow::PnpWindow(DeviceList& devices, DWORD installPollIntervalMs, DWORD removalDelayMs, DWORD removalGraceMs)
    : devices_(devices),
      hid_(devices.Hid()),
      notifier_(installPollIntervalMs),
      removalDelayMs_(removalDelayMs),
      removalGraceMs_(removalGraceMs)
{
}

PnpWindow::~PnpWindow()
{
    Destroy();
}

int PnpWindow::CreateHiddenWindow(HINSTANCE instance, HWND hostWindow)
{
    Destroy();
    instance_ = instance;
    RegisterHiddenClass(instance);
    devices_.Clear();
    window_ = ::CreateWindowExA(0, kHiddenWindowClass, kHiddenWindowTitle, WS_CHILD, 0, 0, kWindowWidth,
                                kWindowHeight, hostWindow, nullptr, instance, nullptr);
    if (window_ != nullptr)
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    hid_.HidD_GetHidGuid(&filter.dbcc_classguid);
    interfaceNotification_ = hid_.RegisterDeviceNotificationA(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    sessionRegistered_ = hid_.WTSRegisterSessionNotification(window_, NOTIFY_FOR_ALL_SESSIONS) != FALSE;
    ::ShowWindow(window_, SW_HIDE);
    ::UpdateWindow(window_);
    return devices_.Enumerate(filter.dbcc_classguid, window_);
}

void PnpWindow::Unregister()
{
    if (interfaceNotification_ != nullptr)
        hid_.UnregisterDeviceNotification(interfaceNotification_);
    interfaceNotification_ = nullptr;
    if (sessionRegistered_ && window_ != nullptr)
        hid_.WTSUnRegisterSessionNotification(window_);
    sessionRegistered_ = false;
}

void PnpWindow::Destroy()
{
    notifier_.StopAll();
    if (window_ != nullptr) {
        // Unhooked first: the window's destruction must not reach a handler,
        // whether it runs now or, for a window of another thread, later.
        Unregister();
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        // A window of another thread cannot be destroyed from here, and
        // waiting for that thread could wait on the loader lock this unload
        // holds. It is handed to the system's default procedure instead,
        // which lives on after this library, and closed by a posted message
        // its own thread carries out.
        if (!::DestroyWindow(window_)) {
            ::SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&::DefWindowProcA));
            ::PostMessageA(window_, WM_CLOSE, 0, 0);
        }
        window_ = nullptr;
    }
    if (instance_ != nullptr)
        ::UnregisterClassA(kHiddenWindowClass, instance_);
    currentDevice_ = 0;
}

LRESULT CALLBACK PnpWindow::PnPHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Taken before the window's state is looked up: once the unload has
    // begun, that state may be gone.
    const HandlerGate::Pass pass(HandlerGate::Process());
    PnpWindow* self = pass ? WindowOf(window) : nullptr;
    if (self == nullptr)
        return ::DefWindowProcA(window, message, wParam, lParam);
    try {
        self->announcingSource_ = window;
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system's message dispatch.
        return 0;
    }
}

LRESULT PnpWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_DEVICECHANGE:
        OnDeviceChange(wParam, reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam));
        return 0;
    case WM_WTSSESSION_CHANGE:
        OnSessionChange(wParam);
        return 0;
    case kWmDeviceRemoved:
        DeferredRemoval(static_cast<DWORD_PTR>(lParam));
        return 0;
    default:
        return ::DefWindowProcA(window_, message, wParam, lParam);
    }
}

void PnpWindow::OnDestroy()
{
    devices_.ForEach([](CompDeviceInfo& entry) {
        Lock use(entry.useLock);
        if (entry.port && entry.port->open) {
            entry.port->open = false;
            entry.port->Close();
        }
    });
    Unregister();
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
}

void PnpWindow::OnDeviceChange(WPARAM event, const DEV_BROADCAST_HDR* header)
{
    if ((event & kEventRangeMask) != kDeviceEventRange || header == nullptr)
        return;
    if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE)
        HandleDeviceInterfaceChange(header, event);
    else if (header->dbch_devicetype == DBT_DEVTYP_HANDLE)
        HandleDeviceChange(event, header);
}

int PnpWindow::HandleDeviceInterfaceChange(const DEV_BROADCAST_HDR* header, WPARAM event)
{
    const auto* broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(header);
    GUID hidGuid{};
    hid_.HidD_GetHidGuid(&hidGuid);
    if (std::memcmp(&broadcast->dbcc_classguid, &hidGuid, sizeof hidGuid) != 0)
        return 1;
    if (event == DBT_DEVICEREMOVECOMPLETE) {
        if (CompDeviceInfo* entry = PendingEntryAt(devices_, broadcast->dbcc_name))
            BeginRemoval(*entry);
        return 1;
    }
    if (event != DBT_DEVICEARRIVAL)
        return 1;
    auto buffer = std::make_unique<char[]>(kGuidTextBufferBytes);
    std::memset(buffer.get(), 0, kGuidTextBufferBytes);
    const OpenDeviceResult opened = devices_.OpenDevice(broadcast->dbcc_name, window_, buffer.get(), false);
    if (opened.newEntry != nullptr)
        Announce(*opened.newEntry, buffer.get());
    return 1;
}

void PnpWindow::Announce(CompDeviceInfo& entry, const char* guidTextBuffer)
{
    std::shared_ptr<KnownScanner> known;
    {
        Lock lock(devices_.ListLock());
        known = devices_.Known().Share(GuidTextOf(guidTextBuffer));
        if (!known)
            return;
        PrepareForAnnouncement(known->record, ToDeviceHandle(&entry));
    }
    // The port is opened by the first command for the scanner, not here.
    notifier_.Start(std::move(known), devices_, ::GetParent(window_), ToDeviceHandle(&entry));
}

int PnpWindow::HandleDeviceChange(WPARAM event, const DEV_BROADCAST_HDR* header)
{
    const HANDLE handle = reinterpret_cast<const DEV_BROADCAST_HANDLE*>(header)->dbch_handle;
    // A closed or pending record holds 0 or all-ones, which name no device.
    if (!IsOpenHandle(handle))
        return 0;
    CompDeviceInfo* entry = EntryWatching(devices_, handle);
    if (entry == nullptr)
        return 0;
    currentDevice_ = ToDeviceHandle(entry);
    switch (event) {
    case DBT_DEVICEQUERYREMOVE:
        devices_.ReleaseForRemoval(*entry);
        break;
    case DBT_DEVICEQUERYREMOVEFAILED:
        // Left closed, the scanner would refuse every command until it is
        // unplugged.
        devices_.Rewatch(*entry, window_);
        break;
    case DBT_DEVICEREMOVEPENDING:
        if (entry->record->notification != nullptr)
            hid_.UnregisterDeviceNotification(entry->record->notification);
        entry->record->notification = nullptr;
        devices_.ReleaseForRemoval(*entry);
        break;
    case DBT_DEVICEREMOVECOMPLETE:
        BeginRemoval(*entry);
        break;
    default:
        break;
    }
    return 1;
}

void PnpWindow::BeginRemoval(CompDeviceInfo& entry)
{
    // Both happen now rather than in the deferred step: a re-plug arriving
    // before that step must get an entry and a known record of its own,
    // which the deferred step would otherwise take away again.
    if (!entry.record || entry.record->removalPending)
        return;  // one removal per scanner, however often the system says so
    devices_.MarkRemovalPending(entry);
    if (entry.record)
        devices_.Known().Remove(GuidText(*entry.record));
    ::PostMessageA(window_, kWmDeviceRemoved, 0, static_cast<LPARAM>(ToDeviceHandle(&entry)));
}

void PnpWindow::DeferredRemoval(DWORD_PTR device)
{
    HandlerGate& gate = HandlerGate::Process();
    if (gate.Pause(removalDelayMs_))
        return;
    // Handles are never given out twice, so a handle an earlier removal
    // has freed names nothing now.
    CompDeviceInfo* entry = devices_.Find(device);
    if (entry == nullptr || !entry->record || !entry->record->removalPending)
        return;
    if (currentDevice_ == device)
        currentDevice_ = 0;
    devices_.DropRecord(*entry);
    if (ScannerRecord* detached = NewDetachedRecord()) {
        if (!::PostMessageA(::GetParent(window_), kWmDeviceNotification, reinterpret_cast<WPARAM>(detached),
                            static_cast<LPARAM>(device)))
            ::GlobalFree(detached);
    }
    if (gate.Pause(removalGraceMs_))
        return;
    devices_.Remove(entry);
}

void PnpWindow::RemoveScannersGoneMeanwhile()
{
    // A scanner unplugged while the console was away sent its removal to a
    // closed handle: without this the host would keep its handle for ever.
    devices_.ForEach([this](CompDeviceInfo& entry) {
        if (entry.record && entry.record->hidHandle == nullptr && !entry.record->removalPending)
            BeginRemoval(entry);
    });
}

void PnpWindow::OnSessionChange(WPARAM change)
{
    if (change == WTS_CONSOLE_DISCONNECT)
        OnConsoleDisconnect();
    else if (change == WTS_CONSOLE_CONNECT && window_ != nullptr)
        OnConsoleConnect();
}

void PnpWindow::OnConsoleDisconnect()
{
    // The ports close too, so the devices are really released; each opens
    // again when its scanner is found at the reconnect.
    if (devices_.ClosedDeviceHandles())
        TraceAlways("PnPHandler (Pellion): WTS_CONSOLE_DISCONNECT: Success closing devices.");
    else
        TraceAlways("PnPHandler (Pellion): WTS_CONSOLE_DISCONNECT: Error closing devices.");
}

void PnpWindow::OnConsoleConnect()
{
    GUID hidGuid{};
    hid_.HidD_GetHidGuid(&hidGuid);
    const int enumerated = devices_.Enumerate(hidGuid, window_);
    if (enumerated == 1)
        TraceAlways("PnPHandler (Pellion): Success reconnecting to devices");
    else
        TraceAlways("PnPHandler (Pellion): Error reconnecting to devices");
    if (enumerated == 1)
        RemoveScannersGoneMeanwhile();
}

}  // namespace pellion

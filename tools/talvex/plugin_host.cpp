#include "tools/talvex/plugin_host.h"

#include <cstring>
#include <vector>

namespace talvex {

namespace {

const wchar_t kHostWindowClass[] = L"TalvexPlugInHost";
constexpr UINT kWmDeviceNotification = 0x800C;
constexpr int kMaxInitRecords = 255;
constexpr std::size_t kScannerRecordSize = 404;
constexpr std::size_t kGuidTextOffset = 296;
constexpr std::size_t kGuidTextSize = 33;
constexpr std::size_t kDeviceHandleOffset = 360;
constexpr std::size_t kEventOffset = 376;
constexpr std::uint8_t kEventDetached = 2;
constexpr std::size_t kLoggingConfigurationSize = 20;
constexpr std::size_t kPlugInNameSize = 9;

ScannerNotice NoticeOf(const std::uint8_t* record, LPARAM device)
{
    ScannerNotice notice;
    notice.attached = record[kEventOffset] != kEventDetached;
    notice.device = static_cast<std::uint32_t>(device);
    const char* guid = reinterpret_cast<const char*>(record + kGuidTextOffset);
    notice.guid.assign(guid, strnlen(guid, kGuidTextSize));
    return notice;
}

}  // namespace

PluginHost::~PluginHost()
{
    // Destroying the host window destroys the plug-in's hidden child, which
    // closes its ports before the library goes.
    if (window_) DestroyWindow(window_);
    if (library_) FreeLibrary(library_);
}

bool PluginHost::Start(const std::wstring& libraryPath)
{
    if (Started()) return true;
    if (!library_) library_ = LoadLibraryW(libraryPath.c_str());
    if (!library_ || !BindExports() || !CreateHostWindow()) return false;

    char name[kPlugInNameSize + 1] = {};
    if (getPlugInName_(name) == 0) name_ = name;
    const std::uint8_t logging[kLoggingConfigurationSize] = {};
    setLoggingConfiguration_(logging);

    std::vector<std::uint8_t> records(kMaxInitRecords * kScannerRecordSize);
    int count = 0;
    if (init_(window_, records.data(), &count) != 0) {
        DestroyWindow(window_);
        window_ = nullptr;
        return false;
    }
    AnnouncePresent(records.data(), count);
    return true;
}

template <typename Function>
static Function Export(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

bool PluginHost::BindExports()
{
    getPlugInName_ = Export<GetPlugInNameFn>(library_, "GetPlugInName");
    init_ = Export<InitFn>(library_, "Init");
    sendCommand_ = GetProcAddress(library_, "SendCommand");
    setLoggingConfiguration_ = Export<SetLoggingConfigurationFn>(library_, "SetLoggingConfiguration");
    return getPlugInName_ && init_ && sendCommand_ && setLoggingConfiguration_;
}

bool PluginHost::CreateHostWindow()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kHostWindowClass;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, kHostWindowClass, L"Talvex", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    return window_ != nullptr;
}

// The scanners of Init's array travel the same road as later arrivals: as
// notification records posted to the host window.
void PluginHost::AnnouncePresent(const std::uint8_t* records, int count)
{
    for (int i = 0; i < count && i < kMaxInitRecords; ++i) {
        const std::uint8_t* record = records + i * kScannerRecordSize;
        void* copy = GlobalAlloc(GMEM_FIXED, kScannerRecordSize);
        if (!copy) return;
        std::memcpy(copy, record, kScannerRecordSize);
        std::uint32_t device = 0;
        std::memcpy(&device, record + kDeviceHandleOffset, sizeof device);
        if (!PostMessageW(window_, kWmDeviceNotification, reinterpret_cast<WPARAM>(copy), device)) GlobalFree(copy);
    }
}

// The record is the host's once posted: read, then freed.
void PluginHost::OnDeviceNotification(WPARAM wParam, LPARAM lParam)
{
    auto* record = reinterpret_cast<std::uint8_t*>(wParam);
    if (!record) return;
    const ScannerNotice notice = NoticeOf(record, lParam);
    GlobalFree(record);
    if (listener_) listener_(notice);
}

LRESULT CALLBACK PluginHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<PluginHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host && message == kWmDeviceNotification) {
        host->OnDeviceNotification(wParam, lParam);
        return 0;
    }
    // Status, response and event blocks stay the plug-in's: nothing to free.
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace talvex

#include "register/win32/shell/scan_listener.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "register/core/barcode/document_barcode.h"

namespace {

constexpr UINT_PTR kScanSubclass = 0x5C4E;
constexpr WPARAM kFirstPrintable = 0x20;

// A message hook gets no context, so it finds the listeners of its thread
// here; the hook lives while the thread has any.
struct ThreadListeners {
    std::vector<ScanListener*> listeners;
    HHOOK hook = nullptr;
};
thread_local ThreadListeners threadListeners;

UINT ScanArrivedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Quorva.ScanArrived");
    return message;
}

}  // namespace

ScanListener::ScanListener(HWND window, std::function<ScanPolicy()> policy,
                           std::function<void(const ScanArrival&)> onScan)
    : window_(window), policy_(std::move(policy)), onScan_(std::move(onScan))
{
    SetWindowSubclass(window_, WindowProc, kScanSubclass, reinterpret_cast<DWORD_PTR>(this));
    if (threadListeners.listeners.empty()) {
        threadListeners.hook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    }
    threadListeners.listeners.push_back(this);
}

ScanListener::~ScanListener()
{
    RemoveWindowSubclass(window_, WindowProc, kScanSubclass);
    auto& listeners = threadListeners.listeners;
    listeners.erase(std::remove(listeners.begin(), listeners.end(), this), listeners.end());
    if (listeners.empty() && threadListeners.hook) {
        UnhookWindowsHookEx(threadListeners.hook);
        threadListeners.hook = nullptr;
    }
}

LRESULT CALLBACK ScanListener::GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        MSG& message = *reinterpret_cast<MSG*>(lParam);
        if (message.message == WM_KEYDOWN || message.message == WM_CHAR) {
            for (ScanListener* listener : threadListeners.listeners) {
                if (!listener->Receives(message)) continue;
                listener->Watch(message);
                break;
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool ScanListener::Receives(const MSG& message) const
{
    return GetActiveWindow() == window_ && (message.hwnd == window_ || IsChild(window_, message.hwnd));
}

void ScanListener::Watch(MSG& message)
{
    const ScanPolicy policy = policy_();
    if (policy == ScanPolicy::Ignore) return;
    if (message.message == WM_CHAR) {
        if (message.wParam < kFirstPrintable) return;
        if (burst_.RunIsEmpty()) target_ = message.hwnd;
        burst_.Character(static_cast<char16_t>(message.wParam));
        if (policy == ScanPolicy::AllBursts && quorva::MayBeDocumentBarcode(burst_.Text())) {
            target_ = nullptr;
            message.message = WM_NULL;
        }
        return;
    }
    if (message.wParam != VK_RETURN) {
        burst_.KeyDown(message.time);
        return;
    }
    std::optional<std::string> scan = burst_.Enter(message.time);
    if (!scan) return;
    if (policy == ScanPolicy::DocumentsOnly && !quorva::ParseDocumentBarcode(*scan)) return;
    pending_.push_back(ScanArrival{std::move(*scan), target_});
    message.message = WM_NULL;
    PostMessageW(window_, ScanArrivedMessage(), 0, 0);
}

void ScanListener::Deliver()
{
    while (!pending_.empty()) {
        const ScanArrival scan = std::move(pending_.front());
        pending_.pop_front();
        onScan_(scan);
    }
}

LRESULT CALLBACK ScanListener::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data)
{
    if (message == ScanArrivedMessage()) {
        reinterpret_cast<ScanListener*>(data)->Deliver();
        return 0;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

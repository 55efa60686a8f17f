#include "register/win32/shell/scan_listener.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr UINT_PTR kScanSubclass = 0x5C4E;
constexpr UINT_PTR kQuietTimer = 0x5C4E;
constexpr UINT kQuietTickMs = 50;
constexpr LPARAM kPreviousKeyState = 1 << 30;
constexpr LPARAM kExtendedKey = 1 << 24;
constexpr LPARAM kOneKeystroke = 1;
constexpr int kMaxAnsiCharacters = 2;
const wchar_t* const kSinkClass = L"QuorvaScanSink";

// A message hook gets no context, so it finds the listeners of its thread
// here; the hook lives while the thread has any.
struct ThreadListeners {
    std::vector<ScanListener*> listeners;
    HHOOK hook = nullptr;
};
thread_local ThreadListeners threadListeners;

UINT DeliverMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Quorva.ScanArrived");
    return message;
}

std::optional<quorva::KeyEvent> KeyEventOf(const MSG& message)
{
    using Kind = quorva::KeyEventKind;
    // A Unicode keystroke carries its character where other keys have their
    // flags, and no keyboard ever repeats one.
    const bool flags = message.wParam != VK_PACKET;
    const auto event = [&](Kind kind) {
        return quorva::KeyEvent{kind, static_cast<std::uint32_t>(message.time), static_cast<std::uint32_t>(message.wParam),
                                flags && kind == Kind::Down && (message.lParam & kPreviousKeyState) != 0,
                                flags && (message.lParam & kExtendedKey) != 0};
    };
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return event(Kind::Down);
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return event(Kind::Up);
    case WM_CHAR:
        return event(Kind::Character);
    case WM_SYSCHAR:
        return event(Kind::MenuCharacter);
    default:
        return std::nullopt;
    }
}

std::u16string AnsiCharacters(std::string_view bytes)
{
    wchar_t out[kMaxAnsiCharacters];
    const int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                          out, kMaxAnsiCharacters);
    return std::u16string(reinterpret_cast<const char16_t*>(out), static_cast<std::size_t>(std::max(count, 0)));
}

std::wstring WindowText(HWND hwnd)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Takes the keys the window must not see: message-only, no input reaches it
// but what is sent to it.
LRESULT CALLBACK SinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateSink()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW sink{};
    if (!GetClassInfoW(instance, kSinkClass, &sink)) {
        sink.lpfnWndProc = SinkProc;
        sink.hInstance = instance;
        sink.lpszClassName = kSinkClass;
        RegisterClassW(&sink);
    }
    return CreateWindowExW(0, kSinkClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

}  // namespace

ScanListener::ScanListener(HWND window, std::function<ScanPolicy()> policy,
                           std::function<void(const ScanArrival&)> onScan)
    : window_(window), sink_(CreateSink()), policy_(std::move(policy)), onScan_(std::move(onScan)),
      burst_(AnsiCharacters)
{
    SetWindowSubclass(window_, WindowProc, kScanSubclass, reinterpret_cast<DWORD_PTR>(this));
    if (threadListeners.listeners.empty()) {
        threadListeners.hook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    }
    threadListeners.listeners.push_back(this);
}

ScanListener::~ScanListener()
{
    if (timing_) KillTimer(window_, kQuietTimer);
    DestroyWindow(sink_);
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
        if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
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
    // A window of its own that this one keeps open beside it (the
    // statistics) takes no scans itself, so theirs are this window's; a
    // modal dialog disables this window and listens for itself.
    const HWND active = GetActiveWindow();
    const bool ours = active == window_ || (IsWindowEnabled(window_) && GetWindow(active, GW_OWNER) == window_);
    return ours && (message.hwnd == active || message.hwnd == sink_ || IsChild(active, message.hwnd));
}

void ScanListener::Watch(MSG& message)
{
    if (policy_() == ScanPolicy::Ignore) return;
    if (const std::optional<quorva::KeyEvent> event = KeyEventOf(message)) Follow(burst_.See(*event), &message);
}

void ScanListener::Follow(const quorva::KeyVerdict& verdict, MSG* message)
{
    if (!verdict.typed.empty()) {
        Later([focus = GetFocus(), text = verdict.typed] {
            for (char16_t unit : text) SendMessageW(focus, WM_CHAR, unit, kOneKeystroke);
        });
    }
    if (verdict.runStarted) NoteTarget();
    if (verdict.swallow && message) Swallow(*message);
    while (std::optional<std::string> scan = burst_.TakeScan()) {
        Later([this, arrival = ScanArrival{std::move(*scan), target_}, before = targetText_] {
            // What the run typed before its version tag was complete is taken back.
            if (arrival.target && IsWindow(arrival.target) && WindowText(arrival.target) != before) {
                SetWindowTextW(arrival.target, before.c_str());
            }
            onScan_(arrival);
        });
    }
    KeepTimer();
}

// A key the window must not see goes to the sink instead: translated there
// as anywhere, its character still comes, for the burst to read.
void ScanListener::Swallow(MSG& message) const
{
    if (message.message == WM_CHAR || message.message == WM_SYSCHAR) {
        message.message = WM_NULL;
    } else {
        message.hwnd = sink_;
    }
}

void ScanListener::NoteTarget()
{
    target_ = GetFocus();
    targetText_ = target_ ? WindowText(target_) : std::wstring();
}

void ScanListener::Later(std::function<void()> delivery)
{
    pending_.push_back(std::move(delivery));
    PostMessageW(window_, DeliverMessage(), 0, 0);
}

void ScanListener::Deliver()
{
    while (!pending_.empty()) {
        const std::function<void()> delivery = std::move(pending_.front());
        pending_.pop_front();
        delivery();
    }
}

// Scanners that send no ending, and Alt codes the platform leaves untyped,
// are noticed by the silence after them.
void ScanListener::KeepTimer()
{
    const bool wanted = burst_.WaitsForQuiet();
    if (wanted && !timing_) SetTimer(window_, kQuietTimer, kQuietTickMs, nullptr);
    if (!wanted && timing_) KillTimer(window_, kQuietTimer);
    timing_ = wanted;
}

LRESULT CALLBACK ScanListener::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data)
{
    auto* listener = reinterpret_cast<ScanListener*>(data);
    if (message == DeliverMessage()) {
        listener->Deliver();
        return 0;
    }
    if (message == WM_TIMER && wParam == kQuietTimer) {
        listener->Follow(listener->burst_.Quiet(GetTickCount()), nullptr);
        return 0;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

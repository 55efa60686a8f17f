#include "tests/plugin/support/host_window.h"

#include <cstring>
#include <utility>

#include "plugin/plugin_records.h"
#include "plugin/port/reader_thread.h"

namespace pellion::testing {
namespace {

constexpr char kHostClass[] = "PellionTestHost";
constexpr DWORD kEventWaitMs = 2000;
constexpr std::uint8_t kEventByte = 0x11;

void RegisterHostClass()
{
    static const ATOM registered = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kHostClass;
        return ::RegisterClassExA(&windowClass);
    }();
    (void)registered;
}

std::size_t BlockInts(UINT message)
{
    switch (message) {
    case kWmHostTypeInfo:
        return 3;
    case kWmPortStatus:
    case kWmResponseTimeout:
    case kWmCommandResponse:
    case kWmScannerEvent:
        return 2;
    default:
        return 0;
    }
}

PostedMessage Capture(const MSG& msg)
{
    PostedMessage posted{msg.message, msg.wParam, msg.lParam, msg.time, {}, {}};
    const std::size_t ints = BlockInts(msg.message);
    if (ints != 0 && msg.wParam != 0)
        std::memcpy(posted.block.data(), reinterpret_cast<const void*>(msg.wParam), ints * sizeof(std::int32_t));
    if (msg.message == kWmDeviceNotification && msg.wParam != 0) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(msg.wParam);
        posted.record.assign(bytes, bytes + sizeof(ScannerRecord));
        ::GlobalFree(reinterpret_cast<HGLOBAL>(msg.wParam));
    }
    return posted;
}

}  // namespace

CommandBlock Command(std::int32_t opcode, std::int32_t a, std::int32_t b, std::int32_t p1, std::int32_t p2)
{
    CommandBlock block{};
    const std::int32_t fields[][2] = {{0, opcode}, {268, a}, {272, b}, {276, p1}, {280, p2}};
    for (const auto& field : fields)
        std::memcpy(block.bytes + field[0], &field[1], sizeof field[1]);
    return block;
}

HostWindow::HostWindow()
{
    RegisterHostClass();
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    window_ = ::CreateWindowExA(0, kHostClass, "host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                instance, nullptr);
    child_ = ::CreateWindowExA(0, kHostClass, "notifications", WS_CHILD, 0, 0, 10, 10, window_, nullptr, instance,
                               nullptr);
}

HostWindow::~HostWindow()
{
    ::DestroyWindow(window_);
}

void HostWindow::Pump(DWORD timeoutMs)
{
    MSG msg;
    const DWORD start = ::GetTickCount();
    for (;;) {
        bool took = false;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message >= WM_APP && (msg.hwnd == window_ || msg.hwnd == child_))
                received_.push_back(Capture(msg));
            else
                ::DispatchMessageA(&msg);
            took = true;
        }
        const DWORD spent = ::GetTickCount() - start;
        if (took || spent >= timeoutMs)
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_ALLINPUT);
    }
}

std::optional<PostedMessage> HostWindow::TakeQueued(UINT message)
{
    for (auto it = received_.begin(); it != received_.end(); ++it) {
        if (it->message == message) {
            PostedMessage posted = *it;
            received_.erase(it);
            return posted;
        }
    }
    return std::nullopt;
}

std::optional<PostedMessage> HostWindow::WaitFor(UINT message, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (auto posted = TakeQueued(message))
            return posted;
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= timeoutMs)
            return std::nullopt;
        Pump(timeoutMs - spent);
    }
}

std::vector<PostedMessage> HostWindow::Drain(DWORD forMs)
{
    const DWORD start = ::GetTickCount();
    for (DWORD spent = 0; spent < forMs; spent = ::GetTickCount() - start)
        Pump(forMs - spent);
    Pump(0);
    return std::exchange(received_, {});
}

bool HostWindow::HearsEventFrom(SimulatedScanner& scanner, DWORD_PTR device)
{
    if (!scanner.WaitForPendingRead(kEventWaitMs))
        return false;
    scanner.PushReport({kReportEvent, kEventByte});
    const auto event = WaitFor(kWmScannerEvent, kEventWaitMs);
    return event && static_cast<DWORD_PTR>(event->lParam) == device;
}

}  // namespace pellion::testing

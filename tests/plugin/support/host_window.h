#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "plugin/host/plugin.h"
#include "tests/plugin/support/simulated_hid.h"

namespace pellion::testing {

struct PostedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;  // tick count when it was posted
    // The block wParam pointed at, copied when the message was taken.
    std::array<std::int32_t, 3> block{};
    // The scanner record of a device notification, copied and freed as the
    // host does.
    std::vector<std::uint8_t> record;
};

// The host's command argument with the fields the plug-in reads.
CommandBlock Command(std::int32_t opcode, std::int32_t a = 0, std::int32_t b = 0, std::int32_t p1 = 0,
                     std::int32_t p2 = 0);

// A real window standing in for the host's, with a hidden child to receive
// device notifications as the plug-in's own window will. Messages are taken
// from the queue of the thread that made it.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return window_; }
    HWND NotificationWindow() const { return child_; }

    // The next message of that number not taken yet, waiting for it.
    std::optional<PostedMessage> WaitFor(UINT message, DWORD timeoutMs);
    // Every plug-in message arriving within the time, taken. Messages to
    // other windows of the thread (the plug-in's own) are dispatched.
    std::vector<PostedMessage> Drain(DWORD forMs);
    // Whether an event the scanner sends reaches this window under the
    // device handle: the scanner's port is reading.
    bool HearsEventFrom(SimulatedScanner& scanner, DWORD_PTR device);

private:
    void Pump(DWORD timeoutMs);
    std::optional<PostedMessage> TakeQueued(UINT message);

    HWND window_ = nullptr;
    HWND child_ = nullptr;
    std::vector<PostedMessage> received_;
};

}  // namespace pellion::testing

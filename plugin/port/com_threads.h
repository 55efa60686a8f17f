#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "plugin/plugin_records.h"
#include "plugin/commands/response_timer.h"
#include "plugin/win_handles.h"
#include "plugin/port/write_queue.h"

namespace pellion {

constexpr std::size_t kReportCapacity = 256;

// The last decoded input report. A new report overwrites its data from the
// start and leaves later bytes as they were.
struct ResponseDescriptor {
    std::uint8_t reportId = 0;
    std::uint8_t messageType = 0;
    std::int32_t dataLength = 0;
    std::uint8_t data[kReportCapacity] = {};
};

enum class CommandState : int { Idle = 0, Awaiting = 5 };

// The command engine's try-lock: an event arriving while another is being
// handled is dropped, never queued.
class BusyFlag {
public:
    bool TryAcquire();
    void Release();

private:
    CriticalSection lock_;
    bool busy_ = false;
};

// The small blocks posted with status and command messages must stay readable until
// the host has handled them. The host never says when that is, so blocks
// are never freed while the library is loaded: each post takes the next
// block of one process-wide ring, which outlives every port and entry (a
// removal may free a port while its messages are still queued). The ring
// is larger than the system's limit of posted messages a thread's queue
// can hold, so a block comes round again only after the message that
// carried it has left the host's queue.
class MessageBlocks {
public:
    static constexpr std::size_t kSlots = 16384;
    using Block = std::array<std::int32_t, 3>;

    static MessageBlocks& Process();

    const Block* Store(std::int32_t first, std::int32_t second, std::int32_t third = 0);

private:
    std::array<Block, kSlots> slots_{};
    std::atomic<unsigned> next_{0};
};

// What the reader, the writer and the command engine of one port share.
class CComPort;

class CComThreads {
public:
    CComThreads(CComPort& owner, std::atomic<HANDLE>* hidHandle) : owner(owner), hidHandle(hidHandle) {}
    virtual ~CComThreads() = default;
    CComThreads(const CComThreads&) = delete;
    CComThreads& operator=(const CComThreads&) = delete;

    // Makes the context ready for a new opening of the port; kOk, or
    // kErrNoEvents when the system gives no events. Ports beyond the
    // table's capacity get no timers, and their engine refuses everything.
    int Prepare(HWND host, DWORD_PTR deviceHandle, LPTIMECALLBACK timerCallback, TimerOwnerTable& owners);
    bool HasTimers() const { return responseTimer != nullptr && secondTimer != nullptr; }

    CComPort& owner;  // for the engine, entered from the timer thread with the context only
    std::atomic<HANDLE>* hidHandle;
    BusyFlag busy;
    UniqueHandle stopEvent;   // manual reset, shared by both threads
    UniqueHandle queueEvent;  // auto reset
    std::uint8_t lastCommandCode = 0;
    WriteQueue queue;
    HWND hostWindow = nullptr;
    std::unique_ptr<ResponseTimer> responseTimer;
    std::unique_ptr<ResponseTimer> secondTimer;
    int receiveState = 0;
    ResponseDescriptor response;
    CommandState commandState = CommandState::Idle;
    StatusBlock status{};
    std::uint16_t featureReportLength = 0;
    std::uint8_t commandCode = 0;
    std::uint8_t commandPayload[kReportCapacity] = {};
    std::int32_t commandPayloadLength = 0;
    // Declared after the timers: the row goes before the timers it names.
    TimerOwnerRegistration timerOwner;

private:
    void CreateTimers(DWORD_PTR deviceHandle, LPTIMECALLBACK timerCallback, TimerOwnerTable& owners);
};

}  // namespace pellion

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "plugin/platform.h"

namespace pellion {

class CComPort;
class CComThreads;

constexpr std::uint8_t kHostTypeCommandCode = 0x80;
constexpr std::size_t kQueryReportMaxBytes = 64;
// How soon a response timeout that found the engine busy is tried again.
constexpr int kBusyRetryMs = 10;

enum class EngineEvent : int { Timeout = 1, SendHostType = 2, Query = 6, ScannerEvent = 14, Response = 23 };

// Busy: another event was being handled, so this one was dropped.
enum class EngineOutcome { Refused, Accepted, Busy };

// The per-port command state machine, entered by the command caller, the
// reader thread and the timer thread; it holds no state of its own.
class CommandEngine {
public:
    explicit CommandEngine(CComPort& port);

    EngineOutcome Handle(EngineEvent event, std::uint8_t code = 0, const std::uint8_t* payload = nullptr,
                         std::size_t length = 0);

private:
    bool Act(EngineEvent event, std::uint8_t code, const std::uint8_t* payload, std::size_t length);
    bool OnTimeout();
    bool OnSend(std::uint8_t code, const std::uint8_t* payload, std::size_t length);
    bool OnQuery();
    bool OnResponse();
    bool Send(std::uint8_t code, const std::uint8_t* payload, std::size_t length);
    void FinishCommand();

    // The message that ends a command goes out only once the engine is free
    // again, so a host that answers it with the next command is not refused.
    struct EndingMessage {
        unsigned message;
        std::int32_t first;
        std::int32_t second;
    };

    CComPort& port_;
    CComThreads& context_;
    std::optional<EndingMessage> ending_;
};

// The multimedia-timer callback of every response timer.
void CALLBACK OnResponseTimer(UINT timerId, UINT message, DWORD_PTR userValue, DWORD_PTR, DWORD_PTR);

}  // namespace pellion

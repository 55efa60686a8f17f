#include "plugin/commands/command_engine.h"

#include <algorithm>
#include <cstring>

#include "plugin/port/com_port.h"

namespace pellion {

CommandEngine::CommandEngine(CComPort& port) : port_(port), context_(*port.context) {}

EngineOutcome CommandEngine::Handle(EngineEvent event, std::uint8_t code, const std::uint8_t* payload,
                                    std::size_t length)
{
    if (!context_.HasTimers())
        return EngineOutcome::Refused;
    if (event == EngineEvent::ScannerEvent) {
        // Events from the scanner are delivered whatever the engine is doing.
        port_.PostBlock(kWmScannerEvent, 1, context_.response.data[0]);
        return EngineOutcome::Accepted;
    }
    if (!context_.busy.TryAcquire())
        return EngineOutcome::Busy;
    const bool accepted = Act(event, code, payload, length);
    context_.busy.Release();
    if (ending_)
        port_.PostBlock(ending_->message, ending_->first, ending_->second);
    return accepted ? EngineOutcome::Accepted : EngineOutcome::Refused;
}

bool CommandEngine::Act(EngineEvent event, std::uint8_t code, const std::uint8_t* payload, std::size_t length)
{
    switch (event) {
    case EngineEvent::Timeout:
        return OnTimeout();
    case EngineEvent::SendHostType:
        return OnSend(code, payload, length);
    case EngineEvent::Query:
        return OnQuery();
    case EngineEvent::Response:
        return OnResponse();
    default:
        return false;
    }
}

void CommandEngine::FinishCommand()
{
    context_.responseTimer->ClearDelay();
    context_.commandState = CommandState::Idle;
}

bool CommandEngine::OnTimeout()
{
    if (context_.commandState == CommandState::Awaiting)
        ending_ = EndingMessage{kWmResponseTimeout, kErrResponseTimeout, 0};
    FinishCommand();
    return true;
}

bool CommandEngine::OnSend(std::uint8_t code, const std::uint8_t* payload, std::size_t length)
{
    if (context_.commandState != CommandState::Idle)
        return false;
    length = std::min(length, kReportCapacity);
    context_.commandCode = code;
    std::memcpy(context_.commandPayload, payload, length);
    context_.commandPayloadLength = static_cast<std::int32_t>(length);
    if (!Send(code, payload, length))
        return false;
    context_.commandState = CommandState::Awaiting;
    return true;
}

bool CommandEngine::Send(std::uint8_t code, const std::uint8_t* payload, std::size_t length)
{
    context_.responseTimer->Expect(code, kResponseDelayMs);
    if (code != kHostTypeCommandCode)
        return false;
    WriteItem item;
    length = std::min(length, kWriteItemCapacity - 2);
    item.data[0] = 0x00;
    item.data[1] = code;
    std::memcpy(item.data + 2, payload, length);
    item.length = static_cast<std::int32_t>(length + 2);
    context_.lastCommandCode = code;
    return context_.queue.Push(item, context_.queueEvent.Get());
}

bool CommandEngine::OnQuery()
{
    if (context_.commandState != CommandState::Idle)
        return false;
    std::uint8_t report[kQueryReportMaxBytes] = {0x00, kHostTypeCommandCode};
    const std::size_t length = std::min<std::size_t>(context_.featureReportLength, sizeof report);
    if (port_.Hid().HidD_GetFeature(port_.hidHandle, report, static_cast<ULONG>(length)))
        port_.PostBlock(kWmHostTypeInfo, context_.featureReportLength, 1, report[1]);
    return true;
}

bool CommandEngine::OnResponse()
{
    const std::uint8_t* data = context_.response.data;
    if (context_.commandState == CommandState::Idle) {
        port_.PostStatus(kPhaseNotReady, kErrUnexpectedResponse);
        return true;
    }
    if (data[1] != context_.lastCommandCode)
        return false;
    FinishCommand();
    ending_ = EndingMessage{kWmCommandResponse, data[3], data[2]};
    return true;
}

void CALLBACK OnResponseTimer(UINT timerId, UINT, DWORD_PTR userValue, DWORD_PTR, DWORD_PTR)
{
    TimerOwnerTable::Process().Dispatch(userValue, [timerId](CComThreads& context) {
        if (!context.HasTimers() || !context.responseTimer->TakeExpiry(timerId))
            return false;
        if (context.responseTimer->AwaitingResponse() &&
            CommandEngine(context.owner).Handle(EngineEvent::Timeout) == EngineOutcome::Busy) {
            // Dropping it would leave the port awaiting an answer for ever.
            context.responseTimer->ArmRetry(kBusyRetryMs);
        }
        return true;
    });
}

}  // namespace pellion

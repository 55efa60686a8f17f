#include "plugin/port/writer_thread.h"

#include <algorithm>
#include <cstring>

#include "plugin/port/com_port.h"

namespace pellion {
namespace {

constexpr int kStopped = 0;
constexpr int kWritten = 1;
constexpr DWORD kWaitRetryMs = 100;

class Writer {
public:
    explicit Writer(CComPort& port) : port_(port), context_(*port.context), hid_(port.Hid()) {}
    DWORD Run();

private:
    int ProcessQueue();
    int WriteOne(const WriteItem& item);
    int AwaitCompletion(HANDLE completion);

    CComPort& port_;
    CComThreads& context_;
    const HidApi& hid_;
};

DWORD Writer::Run()
{
    const HANDLE waits[] = {context_.stopEvent.Get(), context_.queueEvent.Get()};
    for (;;) {
        const DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0)
            return 1;
        if (woken != WAIT_OBJECT_0 + 1) {
            // The thread stays for the port's life; the pause keeps a wait
            // that keeps failing from taking a whole processor.
            port_.PostStatus(kPhaseOperation, kErrWriterWait);
            ::Sleep(kWaitRetryMs);
            continue;
        }
        if (ProcessQueue() == kStopped)
            return 1;
    }
}

int Writer::ProcessQueue()
{
    // The answer is timed from the moment the writer takes the command.
    if (context_.responseTimer)
        context_.responseTimer->Arm();
    return context_.queue.Drain([this](const WriteItem& item) { return WriteOne(item); });
}

int Writer::WriteOne(const WriteItem& item)
{
    UniqueHandle completion = MakeEvent(true);
    if (!completion) {
        port_.PostStatus(kPhaseOperation, kErrWriteEvent);
        return kWritten;
    }
    std::uint8_t report[kFeatureWriteMaxBytes] = {};
    const std::size_t length = std::min<std::size_t>(std::max(item.length, 0), sizeof report);
    std::memcpy(report, item.data, length);
    const HANDLE device = port_.hidHandle;
    bool written = false;
    if (device == INVALID_HANDLE_VALUE)
        ::SetLastError(ERROR_INVALID_HANDLE);  // so the failure is told as such, not as a stale error
    else
        written = hid_.HidD_SetFeature(device, report, static_cast<ULONG>(length)) != FALSE;
    if (written)
        return kWritten;
    if (::GetLastError() != ERROR_IO_PENDING) {
        port_.PostStatus(kPhaseOperation, kErrWrite);
        return kWritten;
    }
    return AwaitCompletion(completion.Get());
}

int Writer::AwaitCompletion(HANDLE completion)
{
    const HANDLE waits[] = {context_.stopEvent.Get(), completion};
    const DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, kWriteCompletionTimeoutMs);
    if (woken == WAIT_OBJECT_0)
        return kStopped;
    if (woken == WAIT_TIMEOUT) {
        port_.PostStatus(kPhaseOperation, kErrWriteTimeout);
    } else if (woken == WAIT_OBJECT_0 + 1) {
        port_.errorCode = kOk;
        OVERLAPPED overlapped{};
        overlapped.hEvent = completion;
        DWORD transferred = 0;
        if (!hid_.GetOverlappedResult(port_.hidHandle, &overlapped, &transferred, FALSE) &&
            ::GetLastError() != ERROR_OPERATION_ABORTED)
            port_.PostStatus(kPhaseOperation, kErrWriteCompletion);
    } else {
        port_.PostStatus(kPhaseOperation, kErrWriteWait);
    }
    return kWritten;
}

}  // namespace

DWORD WINAPI HIDWriterProc(LPVOID port)
{
    Writer writer(*static_cast<CComPort*>(port));
    return writer.Run();
}

}  // namespace pellion

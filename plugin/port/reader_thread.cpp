#include "plugin/port/reader_thread.h"

#include <algorithm>
#include <cstring>

#include "plugin/port/com_port.h"

namespace pellion {
namespace {

enum class ReadEnd { Continue, Silent, Fault };

// How a failed read goes on: a device that is gone ends the reader quietly
// (its removal is reported elsewhere), a cancelled read is simply issued
// again, anything else is a fault the host hears about.
ReadEnd Classify(DWORD error)
{
    switch (error) {
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_INVALID_HANDLE:
        return ReadEnd::Silent;
    case ERROR_OPERATION_ABORTED:
        return ReadEnd::Continue;
    default:
        return ReadEnd::Fault;
    }
}

class Reader {
public:
    explicit Reader(CComPort& port) : port_(port), hid_(port.Hid()) {}
    DWORD Run();

private:
    // The read that is outstanding when the port stops must not complete
    // into this thread's stack after it has gone.
    void CancelOutstanding()
    {
        DWORD ignored = 0;
        hid_.CancelIo(port_.ReadHandle());
        hid_.GetOverlappedResult(port_.ReadHandle(), &overlapped_, &ignored, TRUE);
    }
    ReadEnd Issue();
    ReadEnd Complete();
    DWORD End(ReadEnd end);

    CComPort& port_;
    const HidApi& hid_;
    UniqueHandle readEvent_;
    OVERLAPPED overlapped_{};
    std::uint8_t buffer_[kReportCapacity] = {};
    DWORD length_ = 0;
};

ReadEnd Reader::Issue()
{
    std::memset(buffer_, 0, length_);
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = readEvent_.Get();
    if (hid_.ReadFile(port_.ReadHandle(), buffer_, length_, nullptr, &overlapped_))
        return ReadEnd::Continue;
    // A refused request leaves nothing pending, so waiting for it would
    // wait for ever.
    const DWORD error = ::GetLastError();
    if (error == ERROR_IO_PENDING)
        return ReadEnd::Continue;
    return Classify(error) == ReadEnd::Silent ? ReadEnd::Silent : ReadEnd::Fault;
}

ReadEnd Reader::Complete()
{
    DWORD count = 0;
    if (!hid_.GetOverlappedResult(port_.ReadHandle(), &overlapped_, &count, FALSE))
        return Classify(::GetLastError());
    if (count != 0)
        DecodeReport(port_, buffer_, count);
    return ReadEnd::Continue;
}

DWORD Reader::End(ReadEnd end)
{
    if (end == ReadEnd::Fault)
        port_.PostStatus(kPhaseOperation, kErrRead);
    return 1;
}

DWORD Reader::Run()
{
    HIDP_CAPS caps{};
    // A device without input reports would complete every read at once
    // with nothing, and the loop would spin.
    if (!ReadCapabilities(hid_, port_.hidHandle, caps) || caps.InputReportByteLength == 0) {
        port_.PostStatus(kPhaseNotReady, kErrReaderStart);
        return 0;
    }
    length_ = std::min<DWORD>(caps.InputReportByteLength, kReportCapacity);
    readEvent_ = MakeEvent(true);
    if (!readEvent_) {
        port_.PostStatus(kPhaseNotReady, kErrReadEvent);
        return 0;
    }
    const HANDLE waits[] = {port_.context->stopEvent.Get(), readEvent_.Get()};
    for (;;) {
        if (const ReadEnd issued = Issue(); issued != ReadEnd::Continue)
            return End(issued);
        const DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0) {
            CancelOutstanding();
            return 1;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            // Waiting again on handles that failed would only spin.
            CancelOutstanding();
            return End(ReadEnd::Fault);
        }
        if (const ReadEnd completed = Complete(); completed != ReadEnd::Continue)
            return End(completed);
    }
}

}  // namespace

DWORD WINAPI HIDReaderProc(LPVOID port)
{
    Reader reader(*static_cast<CComPort*>(port));
    return reader.Run();
}

}  // namespace pellion

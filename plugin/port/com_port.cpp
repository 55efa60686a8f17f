#include "plugin/port/com_port.h"

#include <vector>

#include "plugin/commands/command_engine.h"
#include "plugin/port/reader_thread.h"
#include "plugin/port/writer_thread.h"

namespace pellion {
namespace {

bool ReadVersion(OSVERSIONINFOA& version)
{
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return ::GetVersionExA(&version) != FALSE;
#pragma GCC diagnostic pop
}

UniqueHandle StartThread(LPTHREAD_START_ROUTINE procedure, CComPort* port)
{
    return UniqueHandle(::CreateThread(nullptr, 0, procedure, port, 0, nullptr));
}

bool StillRunning(HANDLE thread)
{
    return ::WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
}

}  // namespace

CComPort::CComPort(const HidApi& hid, HWND host, HANDLE deviceHidHandle, DeviceNamer namer, PortTimings timings)
    : hidHandle(deviceHidHandle), hostWindow(host), hid_(hid), namer_(std::move(namer)), timings_(timings)
{
    if (ReadVersion(version) && version.dwPlatformId != 0)
        context = std::make_unique<CComThreads>(*this, &hidHandle);
    else
        errorCode = kErrNoPlatform;
}

CComPort::~CComPort()
{
    // Threads must not outlive the port they work on.
    Close();
}

void CComPort::Fail(int code)
{
    errorCode = code;
}

int CComPort::Open(const char* devicePath, DWORD_PTR deviceHandle)
{
    if (open) {
        Fail(kErrAlreadyOpen);
        return kErrAlreadyOpen;
    }
    if (const int prepared = Prepare(deviceHandle); prepared != kOk) {
        Fail(prepared);
        return kErrFailed;
    }
    threadsStarted = true;
    int result = StartThreads(devicePath);
    if (result == kOk)
        result = TakeCapabilities();
    if (result != kOk) {
        Close();
        Fail(result);
        return kErrFailed;
    }
    open = true;
    return kOk;
}

int CComPort::Prepare(DWORD_PTR deviceHandle)
{
    if (!context)
        return kErrNoPlatform;
    deviceHandle_ = deviceHandle;
    return context->Prepare(hostWindow, deviceHandle, &OnResponseTimer, TimerOwnerTable::Process());
}

int CComPort::StartThreads(const char* devicePath)
{
    if (!IsOpenHandle(hidHandle))
        return kOk;  // nothing to read from; the capability read tells
    readHandle_ = pellion::DeviceHandle(
        hid_, hid_.CreateFileA(devicePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr));
    if (readHandle_.IsOpen()) {
        readerThread = StartThread(&HIDReaderProc, this);
        if (!readerThread)
            return kErrReaderStart;
    } else {
        // The system keeps keyboard collections to itself; feature reports
        // still go through the identification handle, so the port works
        // without a reader, as for a device without input reports.
        readHandle_ = {};
        PostStatus(kPhaseNotReady, kErrReaderStart);
    }
    writerThread = StartThread(&HIDWriterProc, this);
    if (!writerThread)
        return kErrWriterStart;
    ::Sleep(timings_.threadSettleMs);
    return kOk;
}

int CComPort::TakeCapabilities()
{
    HIDP_CAPS caps{};
    if (!ReadCapabilities(hid_, hidHandle, caps))
        return kErrReaderStart;
    outputReportLength = caps.OutputReportByteLength;
    context->featureReportLength = caps.FeatureReportByteLength;
    return kOk;
}

bool CComPort::Close()
{
    if (!threadsStarted) {
        Fail(kErrNotStarted);
        return true;
    }
    const bool stopped = StopThreads();
    if (!stopped)
        Fail(kErrThreadsHung);
    threadsStarted = false;
    open = false;
    readerThread.Reset();
    for (UniqueHandle& spare : spareThreads)
        spare.Reset();
    writerThread.Reset();
    readHandle_.Reset();
    return stopped;
}

bool CComPort::StopThreads()
{
    std::vector<HANDLE> threads;
    for (const UniqueHandle* thread : {&readerThread, &spareThreads[0], &spareThreads[1], &writerThread}) {
        if (*thread)
            threads.push_back(thread->Get());
    }
    if (threads.empty())
        return true;
    if (context->responseTimer)
        context->responseTimer->Kill();
    if (context->secondTimer)
        context->secondTimer->Kill();
    ::SetEvent(context->stopEvent.Get());
    ::Sleep(timings_.stopGraceMs);
    const DWORD waited =
        ::WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, kStopTimeoutMs);
    const bool allEnded = waited < WAIT_OBJECT_0 + threads.size();
    if (waited == WAIT_TIMEOUT) {
        for (HANDLE thread : threads) {
            if (StillRunning(thread))
                ::TerminateThread(thread, 0);
        }
    }
    ::ResetEvent(context->stopEvent.Get());
    return allEnded;
}

void CComPort::PostStatus(int phase, int code)
{
    if (!context)
        return;
    context->status = StatusBlock{phase, code};
    const MessageBlocks::Block* block = MessageBlocks::Process().Store(phase, code);
    const DWORD_PTR device = namer_ ? namer_(hidHandle) : 0;
    ::PostMessageA(hostWindow, kWmPortStatus, reinterpret_cast<WPARAM>(block->data()), static_cast<LPARAM>(device));
}

void CComPort::PostBlock(unsigned message, std::int32_t first, std::int32_t second, std::int32_t third)
{
    const MessageBlocks::Block* block = MessageBlocks::Process().Store(first, second, third);
    ::PostMessageA(hostWindow, message, reinterpret_cast<WPARAM>(block->data()),
                   static_cast<LPARAM>(deviceHandle_));
}

}  // namespace pellion

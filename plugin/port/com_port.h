#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "plugin/port/com_threads.h"
#include "plugin/devices/hid_api.h"
#include "plugin/win_handles.h"

namespace pellion {

constexpr DWORD kThreadSettleMs = 100;
constexpr DWORD kStopGraceMs = 100;
constexpr DWORD kStopTimeoutMs = 2000;

// The pauses of opening and closing a port; tests that open and close
// ports hundreds of times shorten them.
struct PortTimings {
    DWORD threadSettleMs = kThreadSettleMs;
    DWORD stopGraceMs = kStopGraceMs;
};

// Names the entry whose record holds a HID handle, 0 when none does; the
// device list answers it for the ports it owns.
using DeviceNamer = std::function<DWORD_PTR(HANDLE hidHandle)>;

// One scanner's command port: the reader and writer threads and the
// context they share with the command engine.
class CComPort {
public:
    CComPort(const HidApi& hid, HWND host, HANDLE deviceHidHandle, DeviceNamer namer = {},
             PortTimings timings = {});
    virtual ~CComPort();
    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    // The port's part of opening, once its entry is found: kOk, or
    // kErrFailed with the reason in errorCode. A port that failed stays
    // usable for another attempt.
    int Open(const char* devicePath, DWORD_PTR deviceHandle);
    // Stops both threads; false when they had to be terminated.
    bool Close();

    void TakeHidHandle(HANDLE handle) { hidHandle = handle; }
    // Posts a status with a block from the process's ring, so a reopening or
    // a removal cannot change or free it while the message waits; the
    // port's own block keeps the last status.
    void PostStatus(int phase, int code);
    // Posts a command message with a block from the process's ring.
    void PostBlock(unsigned message, std::int32_t first, std::int32_t second, std::int32_t third = 0);
    DWORD_PTR DeviceHandle() const { return deviceHandle_; }
    const HidApi& Hid() const { return hid_; }
    HANDLE ReadHandle() const { return readHandle_.Get(); }

    std::atomic<HANDLE> hidHandle;
    UniqueHandle readerThread;
    UniqueHandle spareThreads[2];
    UniqueHandle writerThread;
    bool threadsStarted = false;
    std::unique_ptr<CComThreads> context;
    HWND hostWindow;
    bool open = false;
    std::uint16_t outputReportLength = 0;
    std::atomic<int> errorCode{0};
    OSVERSIONINFOA version{};

private:
    int Prepare(DWORD_PTR deviceHandle);
    int StartThreads(const char* devicePath);
    int TakeCapabilities();
    bool StopThreads();
    void Fail(int code);

    const HidApi& hid_;
    DeviceNamer namer_;
    PortTimings timings_;
    DWORD_PTR deviceHandle_ = 0;
    // The record's handle is opened for queries only, and the system
    // refuses reads on such a handle; the reader gets one of its own.
    pellion::DeviceHandle readHandle_;
};

}  // namespace pellion

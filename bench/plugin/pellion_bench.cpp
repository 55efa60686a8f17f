// Measures an open port on a simulated scanner:
//   idle      — CPU time its reader and writer threads use while nothing
//               happens (they should only be blocked in their waits);
//   latency   — time from an input report reaching the device to the
//               host window taking the message it causes.
// Usage: pellion_bench [idle seconds] [reports]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "plugin/devices/device_list.h"
#include "plugin/port/reader_thread.h"
#include "tests/plugin/support/host_window.h"
#include "tests/plugin/support/simulated_hid.h"

using namespace pellion;
using namespace pellion::testing;

namespace {

constexpr int kDefaultIdleSeconds = 10;
constexpr int kDefaultReports = 1000;
constexpr DWORD kWaitMs = 2000;

double FileTimeMs(const FILETIME& time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;
}

double CpuMs(HANDLE thread)
{
    FILETIME created, exited, kernel, user;
    if (!::GetThreadTimes(thread, &created, &exited, &kernel, &user))
        return -1.0;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

double NowMs()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

void MeasureIdle(CComPort& port, HostWindow& host, int seconds)
{
    const double readerBefore = CpuMs(port.readerThread.Get());
    const double writerBefore = CpuMs(port.writerThread.Get());
    const double start = NowMs();
    const auto messages = host.Drain(static_cast<DWORD>(seconds) * 1000);
    const double wall = NowMs() - start;
    std::printf("idle: %.0f ms wall, reader thread %.3f ms CPU, writer thread %.3f ms CPU, %zu messages\n", wall,
                CpuMs(port.readerThread.Get()) - readerBefore, CpuMs(port.writerThread.Get()) - writerBefore,
                messages.size());
}

void MeasureLatency(SimulatedScanner& scanner, HostWindow& host, int reports)
{
    std::vector<double> latencies;
    latencies.reserve(reports);
    for (int i = 0; i < reports; ++i) {
        if (!scanner.WaitForPendingRead(kWaitMs))
            break;
        const double pushed = NowMs();
        scanner.PushReport({kReportEvent, static_cast<std::uint8_t>(i)});
        if (!host.WaitFor(kWmScannerEvent, kWaitMs))
            break;
        latencies.push_back(NowMs() - pushed);
    }
    if (latencies.empty()) {
        std::printf("latency: no report got through\n");
        return;
    }
    std::sort(latencies.begin(), latencies.end());
    const auto at = [&](double fraction) { return latencies[static_cast<std::size_t>(fraction * (latencies.size() - 1))]; };
    std::printf("latency over %zu reports: median %.3f ms, p90 %.3f ms, p99 %.3f ms, min %.3f ms, max %.3f ms\n",
                latencies.size(), at(0.5), at(0.9), at(0.99), latencies.front(), latencies.back());
}

}  // namespace

int main(int argc, char** argv)
{
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : kDefaultIdleSeconds;
    const int reports = argc > 2 ? std::atoi(argv[2]) : kDefaultReports;

    SimulatedHid sim;
    ScopedSimulation binding(sim);
    HostWindow host;
    DeviceList list(sim.Api());
    ScannerProfile profile;
    profile.path = "\\\\?\\hid#bench";
    profile.serial = L"SN01BENCHSCANNER";
    SimulatedScanner& scanner = sim.Add(profile);
    CompDeviceInfo* entry = list.OpenDevice(profile.path.c_str(), host.NotificationWindow(), nullptr, true).newEntry;
    if (entry == nullptr || list.OpenPort(entry) != kOk || !scanner.WaitForPendingRead(kWaitMs)) {
        std::printf("the port did not open\n");
        return 1;
    }
    MeasureIdle(*entry->port, host, idleSeconds);
    MeasureLatency(scanner, host, reports);
    // Shows the clock counts at all: the reader did work during the reports.
    std::printf("reader thread CPU in all: %.3f ms\n", CpuMs(entry->port->readerThread.Get()));
    return 0;
}

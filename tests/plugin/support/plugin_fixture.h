#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "plugin/devices/device_list.h"
#include "plugin/host/trace.h"
#include "tests/plugin/support/host_window.h"
#include "tests/plugin/support/simulated_hid.h"

namespace pellion::testing {

// Collects trace lines instead of sending them to the debug output, with
// the prefixed lines switched on or off, for as long as it lives.
class TraceCapture {
public:
    explicit TraceCapture(bool prefixedOn = false);
    ~TraceCapture();
    std::vector<std::string> Lines();

private:
    TraceSink previous_;
    LoggingConfiguration previousConfiguration_;
};

// A serial-number string whose GUID text (from character 4) is the given one.
std::wstring SerialWithGuid(const std::wstring& guid, const std::wstring& tail = L"");

ScannerProfile Scanner(const std::string& path, const std::wstring& serial);

// Simulated scanners, a real host window and a device list of their own.
class PluginTest : public ::testing::Test {
protected:
    int Enumerate() { return list.Enumerate(SimulatedHid::HidGuid(), host.NotificationWindow()); }
    // Adds a scanner, opens it as an arrival would and returns its entry.
    CompDeviceInfo* Attach(const ScannerProfile& profile);
    // Attach, then open the port.
    CompDeviceInfo* AttachOpen(const ScannerProfile& profile);
    std::vector<CompDeviceInfo*> Entries();

    SimulatedHid sim;
    ScopedSimulation binding{sim};
    HostWindow host;
    DeviceList list{sim.Api()};
};

}  // namespace pellion::testing

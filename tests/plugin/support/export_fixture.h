#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin/host/exports.h"
#include "plugin/devices/scanner_records.h"
#include "tests/plugin/support/host_window.h"
#include "tests/plugin/support/plugin_fixture.h"
#include "tests/plugin/support/simulated_hid.h"

namespace pellion::testing {

// The install poll of the tests: short, so that sixty polls pass quickly.
constexpr DWORD kTestPollIntervalMs = 10;

// Loads the plug-in bound to simulated scanners for as long as it lives,
// as the library's load and unload would.
class LoadedPluginScope {
public:
    explicit LoadedPluginScope(const HidApi& hid);
    ~LoadedPluginScope();
    LoadedPluginScope(const LoadedPluginScope&) = delete;
    LoadedPluginScope& operator=(const LoadedPluginScope&) = delete;
};

// The host's side of the exports: simulated scanners, a real host window
// and the plug-in loaded for each test, reached only through the exports.
class ExportTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(sim.ClosedHandleUses(), 0u) << "a handle was used after it was closed"; }
    // Init into a fresh array of 255 records filled with 0xCC.
    int InitHost();
    HWND Hidden();
    // The system's notifications, sent to the hidden window as real
    // window messages.
    SimulatedScanner& Arrive(const ScannerProfile& profile);
    LRESULT HandleEvent(WPARAM event, const std::string& path);
    // The system names a handle in its events even after it is closed.
    LRESULT HandleEvent(WPARAM event, HANDLE watched);
    void InterfaceEvent(WPARAM event, const std::string& path);
    void Session(WPARAM change);
    int Query(DWORD_PTR device) { return SendCommand(device, Command(kQueryHostType), nullptr); }
    // Loads the plug-in again with the removal and port pauses cut short,
    // for tests that open ports or remove scanners hundreds of times.
    void ReloadWithShortPauses();
    std::vector<PostedMessage> Notifications(DWORD forMs);

    SimulatedHid sim;
    ScopedSimulation binding{sim};
    HostWindow host;
    LoadedPluginScope plugin{sim.Api()};
    std::vector<ScannerRecord> records;
    int count = -5;
};

DWORD_PTR HandleIn(const ScannerRecord& record);
const ScannerRecord& RecordOf(const PostedMessage& posted);

}  // namespace pellion::testing

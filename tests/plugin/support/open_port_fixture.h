#pragma once

#include "tests/plugin/support/plugin_fixture.h"

namespace pellion::testing {

constexpr DWORD kMessageWaitMs = 1000;
constexpr DWORD kQuietMs = 300;
// Past the 2000 ms the plug-in gives a scanner to answer.
constexpr DWORD kTimeoutWaitMs = 3000;

// One scanner with its port open and its reader waiting for a report.
class OpenPortFixture : public PluginTest {
protected:
    void SetUp() override { OpenScanner(Scanner("\\\\?\\hid#scanner", L"SN01PORTSCANNER")); }
    void OpenScanner(const ScannerProfile& profile);

    int Run(const HostTypeCommand& command) { return list.RunCommand(device, command); }
    int Switch(std::int32_t a, std::int32_t b = 0, std::int32_t parameter1 = 0, std::int32_t parameter2 = 0);
    int Query();
    void Respond(std::uint8_t code, std::uint8_t result, std::uint8_t byte3 = 0);
    // A report that reached the reader: its message has been posted.
    void PushAndSettle(const Bytes& report);

    SimulatedScanner* scanner = nullptr;
    CompDeviceInfo* entry = nullptr;
    DWORD_PTR device = 0;
};

}  // namespace pellion::testing

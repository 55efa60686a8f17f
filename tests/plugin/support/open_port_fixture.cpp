#include "tests/plugin/support/open_port_fixture.h"

#include "plugin/port/reader_thread.h"

namespace pellion::testing {

void OpenPortFixture::OpenScanner(const ScannerProfile& profile)
{
    scanner = &sim.Add(profile);
    entry = list.OpenDevice(profile.path.c_str(), host.NotificationWindow(), nullptr, true).newEntry;
    ASSERT_NE(entry, nullptr);
    device = ToDeviceHandle(entry);
    ASSERT_EQ(list.OpenPort(entry), kOk);
    ASSERT_TRUE(scanner->WaitForPendingRead(kMessageWaitMs));
}

int OpenPortFixture::Switch(std::int32_t a, std::int32_t b, std::int32_t parameter1, std::int32_t parameter2)
{
    HostTypeCommand command;
    command.opcode = kSwitchHostType;
    command.selectorA = a;
    command.selectorB = b;
    command.parameter1 = parameter1;
    command.parameter2 = parameter2;
    return Run(command);
}

int OpenPortFixture::Query()
{
    HostTypeCommand command;
    command.opcode = kQueryHostType;
    return Run(command);
}

void OpenPortFixture::Respond(std::uint8_t code, std::uint8_t result, std::uint8_t byte3)
{
    scanner->PushReport({kReportResponse, code, result, byte3});
}

void OpenPortFixture::PushAndSettle(const Bytes& report)
{
    scanner->PushReport(report);
    // The reader is back waiting once it has issued its next read.
    ASSERT_TRUE(scanner->WaitForPendingRead(kMessageWaitMs));
}

}  // namespace pellion::testing

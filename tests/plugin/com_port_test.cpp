#include <gtest/gtest.h>

#include "plugin/port/reader_thread.h"
#include "tests/plugin/support/open_port_fixture.h"

namespace pellion::testing {
namespace {

class OpenPortTest : public PluginTest {};

TEST_F(OpenPortTest, OpeningStartsBothThreadsAndTakesTheReportLengths)
{
    ScannerProfile profile = Scanner("p", L"SN01OPEN");
    profile.featureReportLength = 33;
    profile.outputReportLength = 9;
    CompDeviceInfo* entry = AttachOpen(profile);
    ASSERT_NE(entry, nullptr);
    const CComPort& port = *entry->port;
    EXPECT_TRUE(port.open);
    EXPECT_TRUE(port.threadsStarted);
    EXPECT_TRUE(port.readerThread);
    EXPECT_TRUE(port.writerThread);
    EXPECT_EQ(port.outputReportLength, 9);
    EXPECT_EQ(port.context->featureReportLength, 33);
    EXPECT_EQ(sim.OutstandingPreparsedData(), 0u);
}

TEST_F(OpenPortTest, OpeningTwiceGivesMinus17)
{
    CompDeviceInfo* entry = AttachOpen(Scanner("p", L"SN01TWICE"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(list.OpenPort(entry), kErrAlreadyOpen);
    EXPECT_EQ(entry->port->errorCode, kErrAlreadyOpen);
    EXPECT_TRUE(entry->port->open);
}

TEST_F(OpenPortTest, AnEntryNotInTheListGivesMinus1)
{
    CompDeviceInfo stranger;
    EXPECT_EQ(list.OpenPort(&stranger), kErrFailed);
    EXPECT_EQ(list.OpenPort(nullptr), kErrFailed);
}

TEST_F(OpenPortTest, APortWhoseHandleWasClosedFailsAndCanBeOpenedLater)
{
    CompDeviceInfo* entry = Attach(Scanner("p", L"SN01LATER"));
    list.ClosedDeviceHandles();
    EXPECT_EQ(list.OpenPort(entry), kErrFailed);
    ASSERT_NE(entry->port, nullptr);
    EXPECT_FALSE(entry->port->open);

    Enumerate();  // the console comes back
    EXPECT_EQ(list.OpenPort(entry), kOk);
}

TEST_F(OpenPortTest, ClosingAPortNeverStartedGivesMinus7AndSucceeds)
{
    CompDeviceInfo* entry = Attach(Scanner("p", L"SN01NEVER"));
    EXPECT_TRUE(entry->port->Close());
    EXPECT_EQ(entry->port->errorCode, kErrNotStarted);
}

TEST_F(OpenPortTest, ClosingStopsTheThreadsAndAllowsReopening)
{
    CompDeviceInfo* entry = AttachOpen(Scanner("p", L"SN01CLOSE"));
    ASSERT_NE(entry, nullptr);
    CComPort& port = *entry->port;
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(port.threadsStarted);
    EXPECT_FALSE(port.readerThread);
    EXPECT_FALSE(port.writerThread);
    EXPECT_EQ(list.OpenPort(entry), kOk);
}

TEST_F(OpenPortTest, AReaderThatDoesNotStopIsTerminatedWithMinus9)
{
    ScannerProfile profile = Scanner("p", L"SN01HANG");
    SimulatedScanner& scanner = sim.Add(profile);
    CompDeviceInfo* entry = list.OpenDevice("p", host.NotificationWindow(), nullptr, true).newEntry;
    ASSERT_NE(entry, nullptr);
    scanner.HangReads();
    ASSERT_EQ(list.OpenPort(entry), kOk);

    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(entry->port->Close());
    EXPECT_GE(::GetTickCount() - start, kStopTimeoutMs);
    EXPECT_EQ(entry->port->errorCode, kErrThreadsHung);
    EXPECT_FALSE(entry->port->threadsStarted);
    scanner.ReleaseReads();
}

TEST_F(OpenPortTest, ADeviceWithoutInputReportsGetsNoReader)
{
    ScannerProfile profile = Scanner("p", L"SN01SILENT");
    profile.inputReportLength = 0;
    CompDeviceInfo* entry = Attach(profile);
    ASSERT_EQ(list.OpenPort(entry), kOk);  // feature reports still work
    const auto status = host.WaitFor(kWmPortStatus, kMessageWaitMs);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(status->block[0], kPhaseNotReady);
    EXPECT_EQ(status->block[1], kErrReaderStart);
    EXPECT_EQ(::WaitForSingleObject(entry->port->readerThread.Get(), kMessageWaitMs), WAIT_OBJECT_0);
}

class ReadAccessTest : public PluginTest {};

TEST_F(ReadAccessTest, TheSystemRefusesReadsOnAQueryOnlyHandle)
{
    sim.Add(Scanner("p", L"SN01QUERY"));
    const HidApi& hid = sim.Api();
    HANDLE queryOnly = hid.CreateFileA("p", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_OVERLAPPED, nullptr);
    std::uint8_t buffer[64];
    OVERLAPPED overlapped{};
    UniqueHandle event = MakeEvent(true);
    overlapped.hEvent = event.Get();
    EXPECT_FALSE(hid.ReadFile(queryOnly, buffer, sizeof buffer, nullptr, &overlapped));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    hid.CloseHandle(queryOnly);
}

TEST_F(ReadAccessTest, ThePortReadsThroughAHandleOfItsOwnWithReadAccess)
{
    SimulatedScanner& scanner = sim.Add(Scanner("p", L"SN01READ"));
    CompDeviceInfo* entry = list.OpenDevice("p", host.NotificationWindow(), nullptr, true).newEntry;
    ASSERT_EQ(list.OpenPort(entry), kOk);
    ASSERT_TRUE(scanner.WaitForPendingRead(kMessageWaitMs));

    scanner.PushReport({kReportEvent, 0x42});

    const auto event = host.WaitFor(kWmScannerEvent, kMessageWaitMs);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(scanner.RefusedReads(), 0u);
    EXPECT_EQ(sim.OpenHandlesWithAccess(GENERIC_READ), 1u);
    EXPECT_EQ(sim.OpenHandlesWithAccess(0), 1u);  // identification and feature reports
}

TEST_F(ReadAccessTest, ARefusedReadHandleOpensThePortWithoutAReaderAndCommandsRun)
{
    ScannerProfile profile = Scanner("p", L"SN01KEYBOARD");
    profile.refuseReadAccess = true;
    CompDeviceInfo* entry = Attach(profile);
    ASSERT_NE(entry, nullptr);

    EXPECT_EQ(list.OpenPort(entry), kOk);

    EXPECT_TRUE(entry->port->open);
    EXPECT_FALSE(entry->port->readerThread);
    const auto status = host.WaitFor(kWmPortStatus, kMessageWaitMs);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(status->block[0], kPhaseNotReady);
    EXPECT_EQ(status->block[1], kErrReaderStart);
    EXPECT_EQ(status->lParam, static_cast<LPARAM>(ToDeviceHandle(entry)));
    HostTypeCommand query;
    query.opcode = kQueryHostType;
    EXPECT_EQ(list.RunCommand(ToDeviceHandle(entry), query), kOk);
    EXPECT_TRUE(host.WaitFor(kWmHostTypeInfo, kMessageWaitMs).has_value());
    EXPECT_FALSE(host.WaitFor(kWmPortStatus, 0).has_value());  // told once
}

using ReaderThreadTest = OpenPortFixture;

TEST_F(ReaderThreadTest, UnpluggingEndsTheReaderWithoutAStatus)
{
    scanner->Unplug();
    EXPECT_EQ(::WaitForSingleObject(entry->port->readerThread.Get(), kMessageWaitMs), WAIT_OBJECT_0);
    for (const PostedMessage& posted : host.Drain(kQuietMs))
        EXPECT_NE(posted.message, kWmPortStatus);
}

TEST_F(ReaderThreadTest, KeepsExactlyOneReadOutstanding)
{
    for (std::uint8_t i = 0; i < 20; ++i)
        scanner->PushReport({kReportEvent, i});
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(host.WaitFor(kWmScannerEvent, kMessageWaitMs).has_value());
    ASSERT_TRUE(scanner->WaitForPendingRead(kMessageWaitMs));
    EXPECT_EQ(scanner->OutstandingReads(), 1u);
    EXPECT_FALSE(scanner->SawOverlappingReads());
}

TEST_F(ReaderThreadTest, ReportsArriveInOrder)
{
    for (std::uint8_t i = 1; i <= 5; ++i)
        scanner->PushReport({kReportEvent, i});
    for (std::int32_t i = 1; i <= 5; ++i) {
        const auto event = host.WaitFor(kWmScannerEvent, kMessageWaitMs);
        ASSERT_TRUE(event.has_value());
        EXPECT_EQ(event->block[1], i);
    }
}

TEST_F(ReaderThreadTest, ClosingCancelsThePendingRead)
{
    ASSERT_TRUE(entry->port->Close());
    EXPECT_EQ(scanner->OutstandingReads(), 0u);
    EXPECT_EQ(sim.OpenHandlesWithAccess(GENERIC_READ), 0u);
}

}  // namespace
}  // namespace pellion::testing

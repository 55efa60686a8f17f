#include <cstring>
#include <thread>

#include "tests/plugin/support/export_fixture.h"

namespace pellion::testing {
namespace {

const std::wstring kGuid = L"0123456789ABCDEF0123456789ABCDEF";

std::wstring LongSerial()
{
    // Characters 41 on are the second identity text.
    return SerialWithGuid(kGuid, L"-----SECOND-IDENTITY");
}

bool Untouched(const ScannerRecord& record, std::size_t offset, std::size_t width)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    for (std::size_t i = offset; i < offset + width; ++i) {
        if (bytes[i] != 0xCC)
            return false;
    }
    return true;
}

bool Zero(const char* field, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i) {
        if (field[i] != 0)
            return false;
    }
    return true;
}

TEST(PlugInNameTest, YieldsTheEightCharactersAndTheirTerminator)
{
    char name[12];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(GetPlugInName(name), 0);
    EXPECT_EQ(std::memcmp(name, "USBHIDKB\0", 9), 0);
    EXPECT_EQ(name[9], 'x');
}

class InitTest : public ExportTest {};

TEST_F(InitTest, ABadHostWindowIsRefusedAndTheCountLeftAlone)
{
    ScannerRecord array[1];
    int kept = 77;
    EXPECT_EQ(Init(nullptr, array, &kept), -2);
    EXPECT_EQ(Init(reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)), array, &kept), -2);
    EXPECT_EQ(kept, 77);
    EXPECT_EQ(Hidden(), nullptr);
}

TEST_F(InitTest, WithoutScannersReportsNoneAndSetsUpTheHiddenWindow)
{
    ASSERT_EQ(InitHost(), 0);
    EXPECT_EQ(count, 0);
    const HWND hidden = Hidden();
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(::GetParent(hidden), host.Handle());
    EXPECT_FALSE(::IsWindowVisible(hidden));
    EXPECT_EQ(sim.SessionWindow(), hidden);
    EXPECT_EQ(sim.InterfaceRegistrations(), 1u);
}

TEST_F(InitTest, ReportsAtMostTwoHundredFiftyFiveScanners)
{
    ReloadWithShortPauses();
    for (int i = 0; i < 300; ++i) {
        ScannerProfile profile = Scanner("\\\\?\\hid#many" + std::to_string(i), SerialWithGuid(L"G" + std::to_wstring(i)));
        profile.refuseReadAccess = true;  // fewer port threads
        sim.Add(profile);
    }
    ASSERT_EQ(InitHost(), 0);
    ASSERT_EQ(count, 255);
    EXPECT_NE(HandleIn(records[0]), HandleIn(records[254]));
    EXPECT_STREQ(records[254].guidText, "G254");
}

TEST_F(InitTest, FillsEveryFieldOfTheTableAndLeavesTheRest)
{
    sim.Add(Scanner("\\\\?\\hid#one", LongSerial()));
    ASSERT_EQ(InitHost(), 0);
    ASSERT_EQ(count, 1);
    const ScannerRecord& record = records[0];
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(record.vendorId, 0x05E0);
    EXPECT_EQ(record.productId, 0x1200);
    EXPECT_TRUE(Zero(record.text, 255));
    EXPECT_STREQ(record.secondIdentity, "SECOND-IDENTITY");
    EXPECT_EQ(bytes[295], 0);
    EXPECT_EQ(std::string(record.guidText), "0123456789ABCDEF0123456789ABCDEF");
    EXPECT_EQ(bytes[328], 0);
    EXPECT_TRUE(Zero(record.text10, 10));
    EXPECT_TRUE(Zero(record.text20, 20));
    EXPECT_NE(record.deviceHandle, 0u);
    EXPECT_EQ(record.event, 1);
    EXPECT_EQ(record.field396, 1);
    EXPECT_TRUE(Untouched(record, 1, 1));
    EXPECT_TRUE(Untouched(record, 6, 2));
    EXPECT_TRUE(Untouched(record, 359, 1));
    EXPECT_TRUE(Untouched(record, 364, 12));
    EXPECT_TRUE(Untouched(record, 377, 19));
    EXPECT_TRUE(Untouched(record, 397, 7));
    EXPECT_TRUE(Untouched(records[1], 0, sizeof(ScannerRecord)));
}

TEST_F(InitTest, OpensThePortsOfTheReportedScanners)
{
    SimulatedScanner& scanner = sim.Add(Scanner("\\\\?\\hid#one", LongSerial()));
    ASSERT_EQ(InitHost(), 0);
    ASSERT_TRUE(scanner.WaitForPendingRead(2000));
    scanner.PushReport({0x24, 0x5A});
    const auto event = host.WaitFor(kWmScannerEvent, 2000);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(static_cast<DWORD_PTR>(event->lParam), HandleIn(records[0]));
    EXPECT_EQ(event->block[1], 0x5A);
}

class SendCommandTest : public ExportTest {};

TEST_F(SendCommandTest, AnUnknownOpcodeFailsAfterItsLineAndClearsTheResultField)
{
    sim.Add(Scanner("\\\\?\\hid#one", LongSerial()));
    ASSERT_EQ(InitHost(), 0);
    TraceCapture trace;
    std::uint8_t result[8];
    std::memset(result, 0xCC, sizeof result);
    EXPECT_EQ(SendCommand(HandleIn(records[0]), Command(4711), reinterpret_cast<CommandResult*>(result)), -1);
    EXPECT_EQ(result[4], 0);
    EXPECT_EQ(result[5], 0);
    EXPECT_EQ(result[3], 0xCC);
    EXPECT_EQ(result[6], 0xCC);
    const auto lines = trace.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "TX:: PELLION_API::SendCommand OPCODE = 4711");
}

TEST_F(SendCommandTest, UnknownDevicesAreRefused)
{
    ASSERT_EQ(InitHost(), 0);
    EXPECT_EQ(Query(0), -1);
    EXPECT_EQ(Query(static_cast<DWORD_PTR>(-1)), -1);
    EXPECT_EQ(Query(0x12345678), -1);
}

TEST_F(SendCommandTest, CarriesBothHostTypeCommands)
{
    SimulatedScanner& scanner = sim.Add(Scanner("\\\\?\\hid#one", LongSerial()));
    ASSERT_EQ(InitHost(), 0);
    const DWORD_PTR device = HandleIn(records[0]);
    EXPECT_EQ(Query(device), 0);
    const auto info = host.WaitFor(kWmHostTypeInfo, 2000);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->block[0], 10);
    EXPECT_EQ(info->block[1], 1);
    EXPECT_EQ(info->block[2], 0x03);
    EXPECT_EQ(SendCommand(device, Command(kSwitchHostType, 1, 0, 0x1234, 0x56), nullptr), 0);
    ASSERT_TRUE(scanner.WaitForFeatureWrites(1, 2000));
    EXPECT_EQ(scanner.FeatureWrites()[0], (Bytes{0x00, 0x80, 0x01, 0x34, 0x56}));
}

TEST_F(SendCommandTest, MessageBlocksStayReadableUntilTheHostTakesThem)
{
    SimulatedScanner& scanner = sim.Add(Scanner("\\\\?\\hid#one", LongSerial()));
    ASSERT_EQ(InitHost(), 0);
    // The host is slow: many events are queued before it reads any block.
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(scanner.WaitForPendingRead(2000));
        scanner.PushReport({0x24, static_cast<std::uint8_t>(i)});
    }
    ::Sleep(200);
    int seen = 0;
    for (const PostedMessage& posted : host.Drain(100)) {
        if (posted.message == kWmScannerEvent) {
            EXPECT_EQ(posted.block[1], seen++);
        }
    }
    EXPECT_EQ(seen, 100);
}

TEST(UnloadTest, AHiddenWindowOfAnotherThreadIsLeftWithNoneOfThePlugInsCodeAndClosed)
{
    SimulatedHid sim;
    ScopedSimulation binding{sim};
    LoadedPluginScope plugin{sim.Api()};
    UniqueHandle initialised = MakeEvent(true);
    UniqueHandle unloaded = MakeEvent(true);
    HWND hidden = nullptr;
    bool closedByItsThread = false;
    std::thread owner([&] {
        HostWindow host;
        std::vector<ScannerRecord> records(kMaxInitRecords);
        int count = 0;
        Init(host.Handle(), records.data(), &count);
        hidden = ::FindWindowExA(host.Handle(), nullptr, kHiddenWindowClass, kHiddenWindowTitle);
        ::SetEvent(initialised.Get());
        ::WaitForSingleObject(unloaded.Get(), INFINITE);
        host.Drain(200);
        closedByItsThread = !::IsWindow(hidden);
    });
    ::WaitForSingleObject(initialised.Get(), INFINITE);
    ASSERT_NE(hidden, nullptr);
    UnloadPlugin(false);
    EXPECT_NE(::GetWindowLongPtrA(hidden, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&PnpWindow::PnPHandler));
    ::SetEvent(unloaded.Get());
    owner.join();
    EXPECT_TRUE(closedByItsThread);
}

class LoggingTest : public ExportTest {};

TEST_F(LoggingTest, OnlyByteThirteenSwitchesTheAttachLine)
{
    ASSERT_EQ(InitHost(), 0);
    TraceCapture trace(false);
    LoggingConfiguration configuration{};
    std::memset(&configuration, 0xFF, sizeof configuration);
    configuration.traceOn = 0;
    SetLoggingConfiguration(&configuration);
    Arrive(Scanner("\\\\?\\hid#quiet", SerialWithGuid(L"QUIET")));
    ASSERT_EQ(Notifications(300).size(), 1u);
    configuration = LoggingConfiguration{};
    configuration.traceOn = 1;
    SetLoggingConfiguration(&configuration);
    Arrive(Scanner("\\\\?\\hid#loud", SerialWithGuid(L"LOUD")));
    ASSERT_EQ(Notifications(300).size(), 1u);
    std::vector<std::string> attachLines;
    std::size_t setLines = 0;
    for (const std::string& line : trace.Lines()) {
        if (line.find("SCANNER_ATTACHED") != std::string::npos)
            attachLines.push_back(line);
        if (line == "TALVEX:HIDKB >>Set the logging configuration of the COM Lib")
            ++setLines;
    }
    EXPECT_EQ(setLines, 2u);
    ASSERT_EQ(attachLines.size(), 1u);
    EXPECT_EQ(attachLines[0],
              "TALVEX:HIDKB >> Sending WM_DEVICE_NOTIFICATION : SCANNER_ATTACHED message to Talvex layer GUID = LOUD");
}

}  // namespace
}  // namespace pellion::testing

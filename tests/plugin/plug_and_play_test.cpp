#include <atomic>
#include <cstring>
#include <thread>

#include "bench/plugin/replug_race.h"
#include "plugin/port/reader_thread.h"
#include "tests/plugin/support/export_fixture.h"

namespace pellion::testing {
namespace {

const std::string kPath = "\\\\?\\hid#scanner";

class PlugAndPlayTest : public ExportTest {
protected:
    DWORD_PTR InitOne()
    {
        scanner = &sim.Add(Scanner(kPath, SerialWithGuid(L"PNPGUID")));
        EXPECT_EQ(InitHost(), 0);
        EXPECT_EQ(count, 1);
        return HandleIn(records[0]);
    }

    // Unplugs the scanner: does the host hear it detached, and only that?
    bool UnplugIsReportedDetached(DWORD_PTR device)
    {
        scanner->Unplug();
        HandleEvent(DBT_DEVICEREMOVECOMPLETE, kPath);
        const auto notifications = Notifications(500);
        return notifications.size() == 1 && static_cast<DWORD_PTR>(notifications[0].lParam) == device;
    }

    SimulatedScanner* scanner = nullptr;
};

bool AllZeroBut(const ScannerRecord& record, std::initializer_list<std::size_t> set)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    for (std::size_t i = 0; i < sizeof record; ++i) {
        bool isSet = false;
        for (std::size_t first : set)
            isSet = isSet || i == first;
        if (!isSet && bytes[i] != 0)
            return false;
    }
    return true;
}

TEST_F(PlugAndPlayTest, UnpluggingReportsTheKnownHandleDetachedAndFreesIt)
{
    const DWORD_PTR device = InitOne();
    scanner->Unplug();
    const DWORD sent = ::GetTickCount();
    EXPECT_EQ(HandleEvent(DBT_DEVICEREMOVECOMPLETE, kPath), 0);
    const auto detached = host.WaitFor(kWmDeviceNotification, 2000);
    ASSERT_TRUE(detached.has_value());
    EXPECT_EQ(static_cast<DWORD_PTR>(detached->lParam), device);
    EXPECT_GE(detached->time - sent, kRemovalDelayMs - 1);
    const ScannerRecord& record = RecordOf(*detached);
    EXPECT_EQ(record.event, 2);
    EXPECT_EQ(record.detached, 1);
    EXPECT_EQ(record.transportKind, 8);
    EXPECT_TRUE(AllZeroBut(record, {376, 388, 392}));
    EXPECT_EQ(Query(device), -1);
    EXPECT_EQ(sim.OpenHandles(), 0u);
}

TEST_F(PlugAndPlayTest, APlugInAgainIsAnnouncedWithANewHandleOnceNothingInstalls)
{
    const DWORD_PTR old = InitOne();
    scanner->Unplug();
    HandleEvent(DBT_DEVICEREMOVECOMPLETE, kPath);
    ASSERT_EQ(Notifications(300).size(), 1u);

    sim.SetInstallState(WAIT_TIMEOUT);
    Arrive(Scanner(kPath, SerialWithGuid(L"PNPGUID")));
    EXPECT_TRUE(Notifications(150).empty());
    EXPECT_GT(sim.InstallPolls(), 1u);
    sim.SetInstallState(0);
    const auto attached = host.WaitFor(kWmDeviceNotification, 2000);
    ASSERT_TRUE(attached.has_value());
    const DWORD_PTR fresh = static_cast<DWORD_PTR>(attached->lParam);
    EXPECT_NE(fresh, old);
    const ScannerRecord& record = RecordOf(*attached);
    EXPECT_EQ(HandleIn(record), fresh);
    EXPECT_EQ(record.vendorId, 0x05E0);
    EXPECT_EQ(record.productId, 0x1200);
    EXPECT_STREQ(record.guidText, "PNPGUID");
    EXPECT_EQ(record.event, 1);
    EXPECT_EQ(record.transportKind, 8);
    EXPECT_EQ(record.field396, 1);
    EXPECT_EQ(record.valid, 1);
    EXPECT_TRUE(AllZeroBut(record, {2, 3, 4, 5, 296, 297, 298, 299, 300, 301, 302, 360, 361, 362, 363, 376, 392, 396,
                                    399}));
    EXPECT_EQ(Query(fresh), 0);
    EXPECT_TRUE(host.WaitFor(kWmHostTypeInfo, 2000).has_value());
}

TEST_F(PlugAndPlayTest, APlugInBeforeTheDeferredRemovalKeepsItsOwnEntry)
{
    const DWORD_PTR old = InitOne();
    scanner->Unplug();
    HandleEvent(DBT_DEVICEREMOVECOMPLETE, kPath);  // its removal is still queued
    Arrive(Scanner(kPath, SerialWithGuid(L"PNPGUID")));
    const auto notifications = Notifications(500);
    ASSERT_EQ(notifications.size(), 2u);
    DWORD_PTR fresh = 0;
    for (const PostedMessage& posted : notifications) {
        if (RecordOf(posted).event == 1)
            fresh = static_cast<DWORD_PTR>(posted.lParam);
        else
            EXPECT_EQ(static_cast<DWORD_PTR>(posted.lParam), old);
    }
    ASSERT_NE(fresh, 0u);
    EXPECT_NE(fresh, old);
    EXPECT_EQ(Query(old), -1);
    EXPECT_EQ(Query(fresh), 0);
}

TEST_F(PlugAndPlayTest, AnInstallationThatNeverSettlesIsNotAnnounced)
{
    InitOne();
    sim.SetInstallState(WAIT_TIMEOUT);
    Arrive(Scanner("\\\\?\\hid#late", SerialWithGuid(L"LATE")));
    EXPECT_TRUE(Notifications(60 * kTestPollIntervalMs + 500).empty());
    EXPECT_EQ(sim.InstallPolls(), 60u);
}

TEST_F(PlugAndPlayTest, AFailedInstallPollIsNotAnnounced)
{
    InitOne();
    sim.SetInstallState(WAIT_FAILED);
    Arrive(Scanner("\\\\?\\hid#failed", SerialWithGuid(L"FAILED")));
    EXPECT_TRUE(Notifications(200).empty());
    EXPECT_EQ(sim.InstallPolls(), 1u);
}

TEST_F(PlugAndPlayTest, ConsoleDisconnectAndReconnectKeepTheHandlesSilently)
{
    const DWORD_PTR device = InitOne();
    TraceCapture trace;
    Session(WTS_CONSOLE_DISCONNECT);
    EXPECT_EQ(sim.OpenHandles(), 0u);
    Session(WTS_CONSOLE_CONNECT);
    EXPECT_TRUE(Notifications(200).empty());
    const auto lines = trace.Lines();
    const std::vector<std::string> expected = {
        "PnPHandler: ClosedDeviceHandles: Closing handle for " + kPath,
        "PnPHandler (Pellion): WTS_CONSOLE_DISCONNECT: Success closing devices.",
        "PnPHandler (Pellion): Success reconnecting to devices"};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(Query(device), 0);
    EXPECT_TRUE(host.WaitFor(kWmHostTypeInfo, 2000).has_value());
    // The port reads again after the reconnect.
    ASSERT_TRUE(scanner->WaitForPendingRead(2000));
    scanner->PushReport({0x24, 0x11});
    const auto event = host.WaitFor(kWmScannerEvent, 2000);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(static_cast<DWORD_PTR>(event->lParam), device);
}

TEST_F(PlugAndPlayTest, AScannerGoneWhileTheConsoleWasAwayIsReportedDetached)
{
    const DWORD_PTR device = InitOne();
    Session(WTS_CONSOLE_DISCONNECT);
    scanner->Unplug();
    Session(WTS_CONSOLE_CONNECT);
    const auto notifications = Notifications(500);
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(RecordOf(notifications[0]).event, 2);
    EXPECT_EQ(static_cast<DWORD_PTR>(notifications[0].lParam), device);
    EXPECT_EQ(Query(device), -1);
}

TEST_F(PlugAndPlayTest, ASafeRemovalEndsInADetachedNotification)
{
    const DWORD_PTR device = InitOne();
    HandleEvent(DBT_DEVICEQUERYREMOVE, kPath);
    HandleEvent(DBT_DEVICEREMOVEPENDING, kPath);
    scanner->Unplug();
    InterfaceEvent(DBT_DEVICEREMOVECOMPLETE, kPath);
    const auto notifications = Notifications(500);
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(static_cast<DWORD_PTR>(notifications[0].lParam), device);
    EXPECT_EQ(sim.OpenHandles(), 0u);
}

TEST_F(PlugAndPlayTest, DeviceChangesWithoutABroadcastDoNothing)
{
    const DWORD_PTR device = InitOne();
    ::SendMessageA(Hidden(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
    DEV_BROADCAST_HANDLE broadcast{};
    broadcast.dbch_size = sizeof broadcast;
    broadcast.dbch_devicetype = DBT_DEVTYP_HANDLE;
    broadcast.dbch_handle = sim.WatchedHandleOf(kPath);
    ::SendMessageA(Hidden(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, reinterpret_cast<LPARAM>(&broadcast));
    EXPECT_TRUE(Notifications(200).empty());
    EXPECT_EQ(Query(device), 0);
}

TEST_F(PlugAndPlayTest, AnotherProductArrivingIsIgnored)
{
    InitOne();
    ScannerProfile other = Scanner("\\\\?\\hid#keyboard", SerialWithGuid(L"OTHER"));
    other.productId = 0x1201;
    Arrive(other);
    EXPECT_TRUE(Notifications(200).empty());
}

TEST_F(PlugAndPlayTest, DestroyingTheHostWindowClosesThePorts)
{
    InitOne();
    ASSERT_TRUE(scanner->WaitForPendingRead(2000));
    EXPECT_EQ(sim.OpenHandlesWithAccess(GENERIC_READ), 1u);
    ::DestroyWindow(host.Handle());
    EXPECT_EQ(sim.OpenHandlesWithAccess(GENERIC_READ), 0u);
    EXPECT_EQ(scanner->OutstandingReads(), 0u);
}

TEST_F(PlugAndPlayTest, ARefusedRemovalLeavesTheScannerWorking)
{
    const DWORD_PTR device = InitOne();
    const HANDLE watched = sim.WatchedHandleOf(kPath);
    HandleEvent(DBT_DEVICEQUERYREMOVE, watched);
    EXPECT_EQ(Query(device), -1);
    HandleEvent(DBT_DEVICEQUERYREMOVEFAILED, watched);
    EXPECT_EQ(Query(device), 0);
    EXPECT_TRUE(host.WaitFor(kWmHostTypeInfo, 2000).has_value());
    EXPECT_EQ(sim.RegisteredNotifications(), 1u);  // the new handle's only
    // The later removal is followed through the new handle.
    EXPECT_TRUE(UnplugIsReportedDetached(device));
}

TEST_F(PlugAndPlayTest, ARefusalBeforeTheQueryReachedUsStillEndsInADetachedNotification)
{
    const DWORD_PTR device = InitOne();
    HandleEvent(DBT_DEVICEQUERYREMOVEFAILED, kPath);  // another program refused first
    EXPECT_TRUE(UnplugIsReportedDetached(device));
}

TEST_F(PlugAndPlayTest, ARefusedRemovalKeepsScannerEventsComingWithoutACommand)
{
    const DWORD_PTR device = InitOne();
    const HANDLE watched = sim.WatchedHandleOf(kPath);
    HandleEvent(DBT_DEVICEQUERYREMOVE, watched);
    HandleEvent(DBT_DEVICEQUERYREMOVEFAILED, watched);
    EXPECT_TRUE(host.HearsEventFrom(*scanner, device));
}

TEST_F(PlugAndPlayTest, AReplugWithNoRemovalBetweenLeavesTheWritingPortWorking)
{
    const DWORD_PTR device = InitOne();
    scanner->FailFeatureWrites(ERROR_IO_PENDING);  // the write stays under way
    ASSERT_EQ(SendCommand(device, Command(kSwitchHostType, 3, 1), nullptr), 0);
    scanner->Unplug();
    scanner = &Arrive(Scanner(kPath, SerialWithGuid(L"PNPGUID")));
    ASSERT_EQ(SendCommand(device, Command(kSwitchHostType, 3, 1), nullptr), 0);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, 2000));
    ASSERT_TRUE(scanner->WaitForPendingRead(2000));
    scanner->PushReport({kReportResponse, 0x80, 0x05});
    EXPECT_TRUE(host.WaitFor(kWmCommandResponse, 2000).has_value());
    EXPECT_TRUE(host.HearsEventFrom(*scanner, device));
}

TEST_F(PlugAndPlayTest, CommandsDuringAHundredConsoleDisconnectsFindNoPortOpenAcrossThem)
{
    ReloadWithShortPauses();
    scanner = &sim.Add(Scanner(kPath, SerialWithGuid(L"PNPGUID")));
    sim.Add(Scanner("\\\\?\\hid#second", SerialWithGuid(L"SECOND")));  // closed between the first's two steps
    ASSERT_EQ(InitHost(), 0);
    const DWORD_PTR device = HandleIn(records[0]);
    std::atomic<bool> done{false};
    std::thread sender([&] {
        for (int call = 0; !done; ++call)
            SendCommand(device, call % 2 == 0 ? Command(kQueryHostType) : Command(kSwitchHostType, 3, 1), nullptr);
    });
    std::size_t openWhileAway = 0;
    for (int cycle = 0; cycle < 100; ++cycle) {
        Session(WTS_CONSOLE_DISCONNECT);
        openWhileAway += sim.OpenHandles();
        Session(WTS_CONSOLE_CONNECT);
    }
    done = true;
    sender.join();
    EXPECT_EQ(openWhileAway, 0u);
    EXPECT_EQ(sim.OutstandingPreparsedData(), 0u);
    EXPECT_TRUE(host.HearsEventFrom(*scanner, device));
}

TEST_F(PlugAndPlayTest, UnloadingFromAnotherThreadEndsARemovalUnderWayBeforeReturning)
{
    constexpr DWORD kLongRemovalDelayMs = 3000;
    PluginTimings timings;
    timings.removalDelayMs = kLongRemovalDelayMs;
    LoadPlugin(sim.Api(), ::GetModuleHandleA(nullptr), timings);
    ASSERT_EQ(InitHost(), 0);
    scanner = &Arrive(Scanner(kPath, SerialWithGuid(L"PNPGUID")));  // no port open: the unload alone is quick
    ASSERT_EQ(Notifications(300).size(), 1u);
    scanner->Unplug();
    HandleEvent(DBT_DEVICEREMOVECOMPLETE, kPath);
    MSG removal{};
    ASSERT_TRUE(::PeekMessageA(&removal, Hidden(), kWmDeviceRemoved, kWmDeviceRemoved, PM_REMOVE));
    const DWORD started = ::GetTickCount();
    std::thread unloader([] {
        ::Sleep(100);
        UnloadPlugin(false);
    });
    ::DispatchMessageA(&removal);  // the window thread sits in the removal's pause
    EXPECT_LT(::GetTickCount() - started, kLongRemovalDelayMs);
    unloader.join();
    EXPECT_TRUE(Notifications(200).empty());
}

TEST_F(PlugAndPlayTest, CommandsRacingTwoHundredReplugsEndInCodesAndLeaveNothingBehind)
{
    const ReplugRace race = RunReplugRace(sim, host, 200);
    EXPECT_EQ(race.cycles, 200);
    EXPECT_GT(race.arrivalsFirst, 0);
    EXPECT_GT(race.commands, 200);
    EXPECT_EQ(race.positive, 0);
    EXPECT_GT(race.carried, 0);  // the commands did reach scanners
    EXPECT_TRUE(race.scannerWorks);
    EXPECT_EQ(race.strayNotifications, 0u);
    EXPECT_EQ(race.left, Leftovers{});
}

}  // namespace
}  // namespace pellion::testing

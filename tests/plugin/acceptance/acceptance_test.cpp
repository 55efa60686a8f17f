// The one 32-bit check that still runs where 32-bit programs only run
// emulated: a scanner's whole life seen through the exports, in one process.
// Waits are long because an emulated process runs many times slower; they
// end as soon as the message arrives.
#include "tests/plugin/support/export_fixture.h"

namespace pellion::testing {
namespace {

constexpr DWORD kPatientMs = 60000;
const std::string kPath = "\\\\?\\hid#acceptance";

class AcceptanceTest : public ExportTest {};

TEST_F(AcceptanceTest, AScannerArrivesAnswersACommandAndLeaves)
{
    ASSERT_EQ(InitHost(), 0);
    ASSERT_EQ(count, 0);

    SimulatedScanner& scanner = sim.Add(Scanner(kPath, SerialWithGuid(L"ACCEPTGUID")));
    InterfaceEvent(DBT_DEVICEARRIVAL, kPath);
    const auto attached = host.WaitFor(kWmDeviceNotification, kPatientMs);
    ASSERT_TRUE(attached.has_value());
    EXPECT_EQ(RecordOf(*attached).event, 1);
    EXPECT_STREQ(RecordOf(*attached).guidText, "ACCEPTGUID");
    const DWORD_PTR device = static_cast<DWORD_PTR>(attached->lParam);
    EXPECT_EQ(HandleIn(RecordOf(*attached)), device);

    EXPECT_EQ(Query(device), 0);
    const auto info = host.WaitFor(kWmHostTypeInfo, kPatientMs);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->block[2], scanner.Profile().capability);

    scanner.Unplug();
    HandleEvent(DBT_DEVICEREMOVECOMPLETE, kPath);
    const auto detached = host.WaitFor(kWmDeviceNotification, kPatientMs);
    ASSERT_TRUE(detached.has_value());
    EXPECT_EQ(RecordOf(*detached).event, 2);
    EXPECT_EQ(static_cast<DWORD_PTR>(detached->lParam), device);
    EXPECT_EQ(Query(device), -1);
}

}  // namespace
}  // namespace pellion::testing

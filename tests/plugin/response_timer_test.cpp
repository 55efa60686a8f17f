#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "plugin/commands/command_engine.h"
#include "tests/plugin/support/open_port_fixture.h"

namespace pellion::testing {
namespace {

TEST(TimerOwnerTableTest, HoldsAThousandRowsAndReusesFreedOnes)
{
    TimerOwnerTable table;
    std::vector<int> rows;
    for (std::size_t i = 0; i < TimerOwnerTable::kRows; ++i)
        rows.push_back(table.Add(TimerOwnerRow{}));
    EXPECT_EQ(rows.back(), static_cast<int>(TimerOwnerTable::kRows - 1));
    EXPECT_EQ(table.Add(TimerOwnerRow{}), TimerOwnerTable::kNoRow);

    table.Remove(rows[500]);
    EXPECT_EQ(table.Add(TimerOwnerRow{}), 500);
}

TEST(TimerOwnerTableTest, ARegistrationGivesItsRowBack)
{
    TimerOwnerTable table;
    {
        TimerOwnerRegistration registration;
        ASSERT_TRUE(registration.Register(table, TimerOwnerRow{}));
        EXPECT_EQ(table.RowsInUse(), 1u);
        ASSERT_TRUE(registration.Register(table, TimerOwnerRow{}));  // prepared again: still one row
        EXPECT_EQ(table.RowsInUse(), 1u);
    }
    EXPECT_EQ(table.RowsInUse(), 0u);
}

class TimerOwnershipTest : public OpenPortFixture {
protected:
    std::unique_ptr<CComPort> PreparedPort()
    {
        auto port = std::make_unique<CComPort>(sim.Api(), host.Handle(), nullptr);
        port->Open("", 0);  // prepares the context; with no device the opening itself fails
        return port;
    }
};

TEST_F(TimerOwnershipTest, ManyPortPreparationsDoNotExhaustTheTimers)
{
    const std::size_t before = TimerOwnerTable::Process().RowsInUse();
    auto reopened = PreparedPort();
    for (std::size_t i = 0; i < TimerOwnerTable::kRows + 10; ++i) {
        reopened->Open("", 0);
        PreparedPort();
    }
    EXPECT_LE(TimerOwnerTable::Process().RowsInUse(), before + 1);

    EXPECT_TRUE(reopened->context->HasTimers());
    ASSERT_TRUE(entry->port->Close());
    ASSERT_EQ(list.OpenPort(entry), kOk);
    EXPECT_EQ(Switch(3, 1), kOk);
    EXPECT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));
}

TEST_F(TimerOwnershipTest, APortBeyondAThousandLivePortsRefusesCommands)
{
    TimerOwnerTable& table = TimerOwnerTable::Process();
    std::vector<int> filler;
    while (table.RowsInUse() < TimerOwnerTable::kRows)
        filler.push_back(table.Add(TimerOwnerRow{}));
    OpenScanner(Scanner("\\\\?\\hid#late", L"SN01LATECOMER"));

    EXPECT_FALSE(entry->port->context->HasTimers());
    EXPECT_EQ(Switch(3, 1), kErrRefused);
    EXPECT_EQ(Query(), kErrRefused);

    for (int row : filler)
        table.Remove(row);
    ASSERT_TRUE(entry->port->Close());
    ASSERT_EQ(list.OpenPort(entry), kOk);
    EXPECT_EQ(Switch(3, 1), kOk);
}

class ResponseTimeoutTest : public OpenPortFixture {};

TEST_F(ResponseTimeoutTest, ATimeoutFindingTheEngineBusyIsDeliveredOnceItIsFree)
{
    ASSERT_EQ(Switch(3, 1), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));
    BusyFlag& busy = entry->port->context->busy;
    ASSERT_TRUE(busy.TryAcquire());  // another event is being handled when the timer fires

    EXPECT_FALSE(host.WaitFor(kWmResponseTimeout, kTimeoutWaitMs).has_value());
    busy.Release();

    const auto timeout = host.WaitFor(kWmResponseTimeout, kMessageWaitMs);
    ASSERT_TRUE(timeout.has_value());
    EXPECT_EQ(timeout->block[0], kErrResponseTimeout);
    EXPECT_EQ(Switch(3, 1), kOk);
}

TEST_F(ResponseTimeoutTest, ClosingThePortCancelsTheTimeout)
{
    ASSERT_EQ(Switch(3, 1), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));
    ASSERT_TRUE(entry->port->Close());
    EXPECT_FALSE(host.WaitFor(kWmResponseTimeout, kTimeoutWaitMs).has_value());
}

TEST_F(ResponseTimeoutTest, TheTimeIsCountedFromTheWritersPickUp)
{
    ASSERT_EQ(Switch(3, 1), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));
    ResponseTimer& timer = *entry->port->context->responseTimer;
    EXPECT_TRUE(timer.AwaitingResponse());
    EXPECT_EQ(timer.GuardedCode(), kHostTypeCommandCode);
    Respond(0x80, 0x00);
    ASSERT_TRUE(host.WaitFor(kWmCommandResponse, kMessageWaitMs).has_value());
    EXPECT_FALSE(timer.AwaitingResponse());
}

}  // namespace
}  // namespace pellion::testing

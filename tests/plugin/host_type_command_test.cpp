#include <gtest/gtest.h>

#include <cstring>

#include "plugin/commands/command_engine.h"
#include "plugin/port/reader_thread.h"
#include "tests/plugin/support/open_port_fixture.h"

namespace pellion::testing {
namespace {

class SwitchHostTypeTest : public OpenPortFixture {};

TEST_F(SwitchHostTypeTest, IbmHandheldWritesModeOneWithBothParameterLowBytes)
{
    EXPECT_EQ(Switch(1, 0, 0x1234, 0x56), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));
    EXPECT_EQ(scanner->FeatureWrites()[0], (Bytes{0x00, 0x80, 0x01, 0x34, 0x56}));
}

TEST_F(SwitchHostTypeTest, MiraloSelectorsWriteModeTwo)
{
    EXPECT_EQ(Switch(10, 5), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));
    EXPECT_EQ(scanner->FeatureWrites()[0], (Bytes{0x00, 0x80, 0x02, 0x00, 0x00}));
}

TEST_F(SwitchHostTypeTest, MiraloWithoutItsCapabilityIsRefusedAndWritesNothing)
{
    scanner->SetCapability(0x01);
    EXPECT_EQ(Switch(9), kErrFailed);
    EXPECT_EQ(entry->port->errorCode, kErrFailed);
    EXPECT_FALSE(scanner->WaitForFeatureWrites(1, kQuietMs));
}

TEST_F(SwitchHostTypeTest, IbmHandheldWithoutItsCapabilityIsRefused)
{
    scanner->SetCapability(0x02);
    EXPECT_EQ(Switch(1), kErrFailed);
    EXPECT_FALSE(scanner->WaitForFeatureWrites(1, kQuietMs));
}

TEST_F(SwitchHostTypeTest, OtherSelectorsGoOutUntested)
{
    scanner->SetCapability(0x00);
    EXPECT_EQ(Switch(3, 1, 0x01, 0x02), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));
    EXPECT_EQ(scanner->FeatureWrites()[0], (Bytes{0x00, 0x80, 0x07, 0x01, 0x02}));
}

TEST_F(SwitchHostTypeTest, AFailedCapabilityReadGivesMinus1)
{
    scanner->FailFeatureReads(true);
    EXPECT_EQ(Switch(3, 1), kErrFailed);
    EXPECT_FALSE(scanner->WaitForFeatureWrites(1, kQuietMs));
}

TEST_F(SwitchHostTypeTest, ASecondCommandWhileAwaitingIsRefusedWithMinus15)
{
    ASSERT_EQ(Switch(3, 1), kOk);
    EXPECT_EQ(Switch(3, 1), kErrRefused);
    EXPECT_EQ(entry->port->errorCode, kErrRefused);
    EXPECT_EQ(Query(), kErrRefused);
}

TEST_F(SwitchHostTypeTest, TheMatchingResponseEndsTheCommand)
{
    ASSERT_EQ(Switch(3, 1), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));

    Respond(0x80, 0x00, 0x05);

    const auto response = host.WaitFor(kWmCommandResponse, kMessageWaitMs);
    ASSERT_TRUE(response.has_value());
    EXPECT_EQ(response->lParam, static_cast<LPARAM>(device));
    EXPECT_EQ(Switch(3, 1), kOk);
    // Answered: no timeout follows for it.
    EXPECT_FALSE(host.WaitFor(kWmResponseTimeout, 1000).has_value());
}

TEST_F(SwitchHostTypeTest, NoAnswerPostsATimeoutAndFreesTheEngine)
{
    ASSERT_EQ(Switch(3, 1), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));
    const DWORD written = ::GetTickCount();

    const auto timeout = host.WaitFor(kWmResponseTimeout, kTimeoutWaitMs);

    ASSERT_TRUE(timeout.has_value());
    EXPECT_GE(::GetTickCount() - written, 1900u);
    EXPECT_EQ(timeout->block[0], kErrResponseTimeout);
    EXPECT_EQ(timeout->block[1], 0);
    EXPECT_EQ(timeout->lParam, static_cast<LPARAM>(device));
    EXPECT_EQ(Switch(3, 1), kOk);
}

TEST_F(SwitchHostTypeTest, AnAnswerToAnotherCodeIsIgnoredAndTheTimeoutStillFollows)
{
    ASSERT_EQ(Switch(3, 1), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));
    PushAndSettle({kReportResponse, 0x81, 0x00});

    EXPECT_TRUE(host.WaitFor(kWmResponseTimeout, kTimeoutWaitMs).has_value());
    for (const PostedMessage& posted : host.Drain(0))
        EXPECT_NE(posted.message, kWmCommandResponse);
}

TEST_F(SwitchHostTypeTest, AFailedWriteIsReportedAsAnOperationFault)
{
    scanner->FailFeatureWrites(ERROR_GEN_FAILURE);
    ASSERT_EQ(Switch(3, 1), kOk);
    const auto status = host.WaitFor(kWmPortStatus, kMessageWaitMs);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(status->block[0], kPhaseOperation);
    EXPECT_EQ(status->block[1], kErrWrite);
}

TEST_F(SwitchHostTypeTest, TracesTheCapabilitiesOnlyWhileTheSwitchIsOn)
{
    {
        TraceCapture silent(false);
        ASSERT_EQ(Switch(3, 1), kOk);
        EXPECT_TRUE(silent.Lines().empty());
    }
    Respond(0x80, 0x00);
    ASSERT_TRUE(host.WaitFor(kWmCommandResponse, kMessageWaitMs).has_value());
    scanner->SetCapability(0x02);
    TraceCapture trace(true);
    ASSERT_EQ(Switch(3, 1), kOk);
    EXPECT_EQ(trace.Lines(), (std::vector<std::string>{
                                 "TALVEX:HIDKB >> HidD_GetFeature: SWITCH_HOST_TYPE starting",
                                 "TALVEX:HIDKB >> HidD_GetFeature: SWITCH_HOST_TYPE returns SUCCESS",
                                 "TALVEX:HIDKB >> HidD_GetFeature: RSM over MIRALO is supported",
                                 "TALVEX:HIDKB >> HidD_GetFeature: RSM over IBM Handheld is not supported",
                             }));
}

class QueryHostTypeTest : public OpenPortFixture {
protected:
    void SetUp() override
    {
        ScannerProfile profile = Scanner("\\\\?\\hid#query", L"SN01QUERYSCANNER");
        profile.featureReportLength = 17;
        profile.capability = 0x02;
        OpenScanner(profile);
    }
};

TEST_F(QueryHostTypeTest, AnIdlePortPostsTheHostTypeInfo)
{
    EXPECT_EQ(Query(), kOk);
    const auto info = host.WaitFor(kWmHostTypeInfo, kMessageWaitMs);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->block[0], 17);
    EXPECT_EQ(info->block[1], 1);
    EXPECT_EQ(info->block[2], 0x02);
    EXPECT_EQ(info->lParam, static_cast<LPARAM>(device));
}

TEST_F(QueryHostTypeTest, AFailedReadPostsNothingButSucceeds)
{
    scanner->FailFeatureReads(true);
    EXPECT_EQ(Query(), kOk);
    EXPECT_FALSE(host.WaitFor(kWmHostTypeInfo, kQuietMs).has_value());
}

TEST_F(QueryHostTypeTest, AQueryLeavesTheEngineIdle)
{
    EXPECT_EQ(Query(), kOk);
    EXPECT_EQ(Query(), kOk);
    EXPECT_EQ(Switch(3, 1), kOk);
}

class CommandDispatchTest : public OpenPortFixture {};

TEST_F(CommandDispatchTest, AnUnknownOpcodeGivesMinus1)
{
    HostTypeCommand command;
    command.opcode = 6199;
    EXPECT_EQ(Run(command), kErrFailed);
    EXPECT_EQ(scanner->FeatureReads(), 0u);
}

TEST_F(CommandDispatchTest, AnUnknownDeviceGivesMinus1)
{
    HostTypeCommand command;
    command.opcode = kQueryHostType;
    EXPECT_EQ(list.RunCommand(0, command), kErrFailed);
    EXPECT_EQ(list.RunCommand(static_cast<DWORD_PTR>(-1), command), kErrFailed);
    EXPECT_EQ(list.RunCommand(device + 8, command), kErrFailed);
}

TEST_F(CommandDispatchTest, AClosedPortIsOpenedByTheFirstCommand)
{
    ASSERT_TRUE(entry->port->Close());
    EXPECT_EQ(Query(), kOk);
    EXPECT_TRUE(entry->port->open);
    EXPECT_TRUE(host.WaitFor(kWmHostTypeInfo, kMessageWaitMs).has_value());
}

TEST_F(CommandDispatchTest, ARemovedDeviceIsUnknown)
{
    list.Remove(entry);
    EXPECT_EQ(Query(), kErrFailed);
}

TEST(CommandBlockTest, FieldsAreReadFromTheirOffsets)
{
    std::uint8_t block[kCommandBlockSize] = {};
    const std::int32_t values[] = {6200, 9, 4, 0x1234, -2};
    const std::size_t offsets[] = {0, 268, 272, 276, 280};
    for (int i = 0; i < 5; ++i)
        std::memcpy(block + offsets[i], &values[i], sizeof values[i]);
    const HostTypeCommand command = ReadCommandBlock(block);
    EXPECT_EQ(command.opcode, 6200);
    EXPECT_EQ(command.selectorA, 9);
    EXPECT_EQ(command.selectorB, 4);
    EXPECT_EQ(command.parameter1, 0x1234);
    EXPECT_EQ(command.parameter2, -2);
}

TEST(HostTypeModeTest, IsTheLowByteOfTwiceAPlusB)
{
    EXPECT_EQ(HostTypeMode(1, 0), 2);
    EXPECT_EQ(HostTypeMode(0, 1), 1);
    EXPECT_EQ(HostTypeMode(3, 1), 7);
    EXPECT_EQ(HostTypeMode(200, 0), 144);
    EXPECT_EQ(HostTypeMode(-1, -1), 0xFD);
    EXPECT_EQ(HostTypeMode(0x7FFFFFFF, 0x7FFFFFFF), 0xFD);
}

}  // namespace
}  // namespace pellion::testing

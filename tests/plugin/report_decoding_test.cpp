#include <gtest/gtest.h>

#include "plugin/port/reader_thread.h"
#include "tests/plugin/support/open_port_fixture.h"

namespace pellion::testing {
namespace {

class ReportDecodingTest : public OpenPortFixture {
protected:
    const ResponseDescriptor& Descriptor() const { return entry->port->context->response; }
};

TEST_F(ReportDecodingTest, AnEventReportPostsItsByteWhateverTheCommandState)
{
    ASSERT_EQ(Switch(3, 1), kOk);  // now awaiting
    scanner->PushReport({kReportEvent, 0x5A, 0x77});

    const auto event = host.WaitFor(kWmScannerEvent, kMessageWaitMs);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(event->block[0], 1);
    EXPECT_EQ(event->block[1], 0x5A);
    EXPECT_EQ(event->lParam, static_cast<LPARAM>(device));
}

TEST_F(ReportDecodingTest, AResponseWhileIdleIsReportedAsOutOfTurn)
{
    scanner->PushReport({kReportResponse, 0x80, 0x00});

    const auto status = host.WaitFor(kWmPortStatus, kMessageWaitMs);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(status->block[0], kPhaseNotReady);
    EXPECT_EQ(status->block[1], kErrUnexpectedResponse);
    EXPECT_EQ(status->lParam, static_cast<LPARAM>(device));
}

TEST_F(ReportDecodingTest, IgnoredReportsChangeNothingAndReadingGoesOn)
{
    for (std::uint8_t id : {0x22, 0x23, 0x26, 0x30, 0x00})
        PushAndSettle({id, 0x01, 0x02, 0x03});
    scanner->PushReport({kReportEvent, 0x11});

    const auto messages = host.Drain(kQuietMs);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, kWmScannerEvent);
    EXPECT_EQ(messages[0].block[1], 0x11);
}

TEST_F(ReportDecodingTest, MessageTypesFollowTheReportId)
{
    PushAndSettle({0x22});
    EXPECT_EQ(Descriptor().messageType, 13);
    PushAndSettle({0x23});
    EXPECT_EQ(Descriptor().messageType, 8);
    PushAndSettle({0x25, 0, 0, 0});
    EXPECT_EQ(Descriptor().messageType, 18);
    PushAndSettle({0x27, 0x00, 0});
    EXPECT_EQ(Descriptor().messageType, 20);
    PushAndSettle({0x27, 0x08, 0});
    EXPECT_EQ(Descriptor().messageType, 19);
    EXPECT_EQ(Descriptor().reportId, 0x27);
}

TEST_F(ReportDecodingTest, ABlockReportStoresTwiceItsWordCount)
{
    PushAndSettle({0x25, 0x00, 0x02, 0x00, 'a', 'b', 'c', 'd', 'e'});
    EXPECT_EQ(Descriptor().dataLength, 4);
    EXPECT_EQ(Descriptor().data[0], 'a');
    EXPECT_EQ(Descriptor().data[3], 'd');
}

TEST_F(ReportDecodingTest, ALabelReportStoresItsCountedBytes)
{
    PushAndSettle({0x27, 0x00, 3, 'x', 'y', 'z'});
    EXPECT_EQ(Descriptor().dataLength, 3);
    EXPECT_EQ(Descriptor().data[0], 'x');
    EXPECT_EQ(Descriptor().data[2], 'z');
    EXPECT_EQ(entry->port->context->receiveState, 0);
}

TEST_F(ReportDecodingTest, DeclaredLengthsBeyondTheReportAreCutToWhatArrived)
{
    Bytes huge(kReportCapacity, 0x99);
    huge[0] = 0x25;
    huge[2] = 0xFF;
    huge[3] = 0xFF;  // claims 131070 bytes
    PushAndSettle(huge);
    EXPECT_EQ(Descriptor().dataLength, static_cast<std::int32_t>(kReportCapacity - 4));

    Bytes label(kReportCapacity, 0x55);
    label[0] = 0x27;
    label[1] = 0x00;
    label[2] = 0xFF;
    PushAndSettle(label);
    EXPECT_EQ(Descriptor().dataLength, static_cast<std::int32_t>(kReportCapacity - 3));
}

TEST_F(ReportDecodingTest, ANewReportOverwritesOnlyTheStartOfTheData)
{
    PushAndSettle({0x27, 0x00, 4, 'a', 'b', 'c', 'd'});
    PushAndSettle({0x27, 0x00, 2, 'X', 'Y'});
    EXPECT_EQ(Descriptor().data[0], 'X');
    EXPECT_EQ(Descriptor().data[1], 'Y');
    EXPECT_EQ(Descriptor().data[2], 'c');
    EXPECT_EQ(Descriptor().data[3], 'd');
}

TEST_F(ReportDecodingTest, TheResponseCarriesItsOwnFourthByteNotAnEarlierReports)
{
    PushAndSettle({0x27, 0x00, 4, 'a', 'b', 'c', 'd'});  // leaves 'd' at data byte 3
    ASSERT_EQ(Switch(3, 1), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));

    Respond(0x80, 0x01);  // a three-byte answer: its byte 3 is 0

    const auto response = host.WaitFor(kWmCommandResponse, kMessageWaitMs);
    ASSERT_TRUE(response.has_value());
    EXPECT_EQ(response->block[0], 0);
    EXPECT_EQ(response->block[1], 0x01);
}

TEST_F(ReportDecodingTest, TheResponsesFourthByteReachesTheHost)
{
    ASSERT_EQ(Switch(3, 1), kOk);
    ASSERT_TRUE(scanner->WaitForFeatureWrites(1, kMessageWaitMs));

    Respond(0x80, 0x00, 0x07);

    const auto response = host.WaitFor(kWmCommandResponse, kMessageWaitMs);
    ASSERT_TRUE(response.has_value());
    EXPECT_EQ(response->block[0], 0x07);
    EXPECT_EQ(response->block[1], 0x00);
}

TEST_F(ReportDecodingTest, BurstsOfEventsKeepEachEventsOwnBlock)
{
    for (std::uint8_t i = 0; i < 8; ++i)
        scanner->PushReport({kReportEvent, static_cast<std::uint8_t>(0x40 + i)});
    ASSERT_TRUE(scanner->WaitForPendingRead(kMessageWaitMs));
    ::Sleep(50);
    // Taken only now, long after they were posted: each still reads its own.
    for (std::int32_t i = 0; i < 8; ++i) {
        const auto event = host.WaitFor(kWmScannerEvent, kMessageWaitMs);
        ASSERT_TRUE(event.has_value());
        EXPECT_EQ(event->block[1], 0x40 + i);
    }
}

}  // namespace
}  // namespace pellion::testing

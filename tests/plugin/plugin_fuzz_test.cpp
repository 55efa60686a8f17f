#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>

#include "plugin/commands/command_engine.h"
#include "plugin/commands/host_type_commands.h"
#include "plugin/port/reader_thread.h"
#include "tests/plugin/support/open_port_fixture.h"

// The report decoder and the command engine fed input reports and host
// commands from a seeded random source, for the seconds QUORVA_FUZZ_SECONDS
// names. Debian's libFuzzer has no Windows build, and the decoder and engine
// stand on a port's threads, events and multimedia timers, so this runs
// under Wine on a simulated scanner: mutations of real reports, the
// descriptor checked after each, and the plug-in still answering at the end.
namespace pellion::testing {
namespace {

constexpr unsigned kSeed = 23;
constexpr int kDefaultSeconds = 20;
constexpr int kMostEdits = 8;
constexpr std::size_t kReportLength = 64;  // the simulated scanner's input reports
constexpr std::uint8_t kReportBlock = 0x25;
constexpr std::uint8_t kReportLabel = 0x27;

const Bytes kSeeds[] = {{kReportResponse, 0x80, 0x00, 0x01}, {kReportEvent, 0x5A},
                        {kReportBlock, 0x00, 0x02, 0x00, 'a', 'b', 'c', 'd'}, {kReportLabel, 0x08, 3, 'x', 'y', 'z'},
                        {0x22, 0x01, 0x02}};

Bytes Mutated(std::mt19937& random)
{
    Bytes report = kSeeds[random() % std::size(kSeeds)];
    for (int edits = random() % (kMostEdits + 1); edits > 0; --edits) {
        const auto byte = static_cast<std::uint8_t>(random());
        if (random() % 2) {
            report[random() % report.size()] = byte;
        } else if (report.size() < kReportLength) {
            report.push_back(byte);
        }
    }
    return report;
}

// Where a report's data starts and how many bytes it declares; nothing for
// a report whose data is not kept.
std::optional<std::pair<std::size_t, std::size_t>> DataOf(const Bytes& report)
{
    const auto at = [&](std::size_t i) { return i < report.size() ? report[i] : std::uint8_t{0}; };
    switch (report[0]) {
    case kReportResponse: return std::pair<std::size_t, std::size_t>{0, 4};
    case kReportEvent: return std::pair<std::size_t, std::size_t>{1, 1};
    case kReportBlock: return std::pair<std::size_t, std::size_t>{4, 2u * (at(2) | at(3) << 8)};
    case kReportLabel: return std::pair<std::size_t, std::size_t>{3, at(2)};
    default: return std::nullopt;
    }
}

class PluginFuzzTest : public OpenPortFixture {
protected:
    // The descriptor holds the report's declared data as far as the
    // capacity goes: the bytes the scanner sent, and nothing of an earlier
    // report beyond them.
    void ExpectKept(const Bytes& report)
    {
        const auto data = DataOf(report);
        if (!data) return;
        const ResponseDescriptor& kept = entry->port->context->response;
        const std::size_t length = std::min(data->second, kReportCapacity - data->first);
        ASSERT_EQ(kept.reportId, report[0]);
        ASSERT_EQ(kept.dataLength, static_cast<std::int32_t>(length));
        for (std::size_t i = 0; i < length; ++i) {
            const std::size_t from = data->first + i;
            ASSERT_EQ(kept.data[i], from < report.size() ? report[from] : 0) << "byte " << i;
        }
    }

    HostTypeCommand RandomCommand(std::mt19937& random)
    {
        const std::int32_t opcodes[] = {kSwitchHostType, kQueryHostType, static_cast<std::int32_t>(random())};
        HostTypeCommand command;
        command.opcode = opcodes[random() % std::size(opcodes)];
        command.selectorA = static_cast<std::int32_t>(random() % 2 ? random() % 16 : random());
        command.selectorB = static_cast<std::int32_t>(random() % 2 ? random() % 16 : random());
        command.parameter1 = static_cast<std::int32_t>(random());
        command.parameter2 = static_cast<std::int32_t>(random());
        return command;
    }
};

TEST_F(PluginFuzzTest, AnyReportIsKeptAsSentAndAnyCommandIsTakenOrRefused)
{
    const char* seconds = std::getenv("QUORVA_FUZZ_SECONDS");
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds ? std::atoi(seconds) : kDefaultSeconds);
    std::mt19937 random(kSeed);
    int reports = 0, commands = 0;
    while (std::chrono::steady_clock::now() < until && !HasFatalFailure()) {
        if (random() % 4) {
            const Bytes report = Mutated(random);
            PushAndSettle(report);
            ExpectKept(report);
            ++reports;
        } else {
            const int result = Run(RandomCommand(random));
            ASSERT_TRUE(result == kOk || result == kErrFailed || result == kErrRefused) << result;
            ++commands;
        }
    }
    for (const Bytes& write : scanner->FeatureWrites()) {
        ASSERT_EQ(write.size(), 5u);
        EXPECT_EQ(write[1], kHostTypeCommandCode);
    }
    std::printf("plug-in fuzz: %d reports and %d commands\n", reports, commands);
    Sleep(kTimeoutWaitMs);  // whatever command was waiting has timed out
    EXPECT_EQ(Switch(3, 1), kOk) << "the plug-in still takes commands";
}

}  // namespace
}  // namespace pellion::testing

#include <algorithm>
#include <cstring>

#include "plugin/port/com_port.h"
#include "plugin/commands/command_engine.h"
#include "plugin/port/reader_thread.h"

namespace pellion {
namespace {

constexpr std::uint8_t kReportIgnored22 = 0x22;
constexpr std::uint8_t kReportIgnored23 = 0x23;
constexpr std::uint8_t kReportBlock = 0x25;
constexpr std::uint8_t kReportIgnored26 = 0x26;
constexpr std::uint8_t kReportLabel = 0x27;
constexpr std::uint8_t kLabelLowerTypeBit = 0x08;

// Bytes 0 to 3: the engine reports byte 3 with the result, so a response
// carries its own byte there rather than whatever an earlier report left.
constexpr std::int32_t kResponseDataLength = 4;

struct ReportType {
    std::uint8_t reportId;
    std::uint8_t messageType;
};

constexpr ReportType kReportTypes[] = {
    {kReportIgnored22, 13}, {kReportResponse, 23}, {kReportIgnored23, 8}, {kReportEvent, 14},
    {kReportBlock, 18},     {kReportIgnored26, 13}, {kReportLabel, 20},
};

const ReportType* FindType(std::uint8_t reportId)
{
    for (const ReportType& type : kReportTypes) {
        if (type.reportId == reportId)
            return &type;
    }
    return nullptr;
}

// Stores the report's bytes from `from` on; the declared length is kept
// only as far as the bytes exist, so nobody reading the descriptor walks
// past what a device really sent.
void StoreData(ResponseDescriptor& response, const std::uint8_t* report, std::size_t from, std::size_t declared)
{
    const std::size_t stored = std::min(declared, kReportCapacity - from);
    std::memcpy(response.data, report + from, stored);
    response.dataLength = static_cast<std::int32_t>(stored);
}

}  // namespace

void DecodeReport(CComPort& port, const std::uint8_t* bytes, std::size_t length)
{
    std::uint8_t report[kReportCapacity] = {};
    std::memcpy(report, bytes, std::min(length, kReportCapacity));
    CComThreads& context = *port.context;
    if (!context.HasTimers())
        return;
    const ReportType* type = FindType(report[0]);
    if (type == nullptr)
        return;
    ResponseDescriptor& response = context.response;
    response.messageType = type->messageType;
    response.reportId = report[0];
    switch (report[0]) {
    case kReportResponse:
        StoreData(response, report, 0, kResponseDataLength);
        CommandEngine(port).Handle(EngineEvent::Response);
        break;
    case kReportEvent:
        StoreData(response, report, 1, 1);
        CommandEngine(port).Handle(EngineEvent::ScannerEvent);
        break;
    case kReportBlock:
        StoreData(response, report, 4, 2u * (report[2] | (report[3] << 8)));
        break;
    case kReportLabel:
        StoreData(response, report, 3, report[2]);
        context.receiveState = 0;
        if (report[1] & kLabelLowerTypeBit)
            --response.messageType;
        break;
    default:
        break;
    }
}

}  // namespace pellion

#pragma once

#include <cstddef>
#include <cstdint>

namespace pellion {

// The scanners this transport serves.
constexpr std::uint16_t kScannerVendorId = 0x05E0;
constexpr std::uint16_t kScannerProductId = 0x1200;

// The host's scanner description, byte for byte as it crosses to the host.
#pragma pack(push, 1)
struct ScannerRecord {
    std::uint8_t recordFlag;
    std::uint8_t reserved1;
    std::uint16_t vendorId;
    std::uint16_t productId;
    std::uint8_t reserved6[2];
    char text[255];
    char secondIdentity[33];
    char guidText[33];
    char text10[10];
    char text20[20];
    std::uint8_t reserved359;
    std::uint32_t deviceHandle;
    std::uint8_t reserved364[12];
    std::uint8_t event;
    std::uint8_t reserved377[3];
    std::uint32_t subRecords;
    std::int32_t field384;
    std::int32_t detached;
    std::int32_t transportKind;
    std::uint8_t field396;
    std::uint8_t field397;
    std::uint8_t field398;
    std::uint8_t valid;
    std::uint8_t subRecordsPresent;
    std::uint8_t reserved401[3];
};
#pragma pack(pop)

static_assert(sizeof(ScannerRecord) == 404);
static_assert(offsetof(ScannerRecord, vendorId) == 2);
static_assert(offsetof(ScannerRecord, productId) == 4);
static_assert(offsetof(ScannerRecord, text) == 8);
static_assert(offsetof(ScannerRecord, secondIdentity) == 263);
static_assert(offsetof(ScannerRecord, guidText) == 296);
static_assert(offsetof(ScannerRecord, text10) == 329);
static_assert(offsetof(ScannerRecord, text20) == 339);
static_assert(offsetof(ScannerRecord, deviceHandle) == 360);
static_assert(offsetof(ScannerRecord, event) == 376);
static_assert(offsetof(ScannerRecord, subRecords) == 380);
static_assert(offsetof(ScannerRecord, field384) == 384);
static_assert(offsetof(ScannerRecord, detached) == 388);
static_assert(offsetof(ScannerRecord, transportKind) == 392);
static_assert(offsetof(ScannerRecord, field396) == 396);
static_assert(offsetof(ScannerRecord, valid) == 399);
static_assert(offsetof(ScannerRecord, subRecordsPresent) == 400);

// Application messages posted to the host window.
constexpr unsigned kWmPortStatus = 0x8004;
constexpr unsigned kWmResponseTimeout = 0x8005;
constexpr unsigned kWmCommandResponse = 0x8006;
constexpr unsigned kWmHostTypeInfo = 0x800A;
constexpr unsigned kWmScannerEvent = 0x800B;
constexpr unsigned kWmDeviceNotification = 0x800C;

// Result and status codes; 0 is success everywhere.
enum Code : int {
    kOk = 0,
    kErrFailed = -1,           // unrecognised device or opcode, port missing or not opened
    kErrBadHostWindow = -2,
    kErrNotStarted = -7,       // closing a port that was never started
    kErrThreadsHung = -9,      // port threads did not stop in time
    kErrReaderStart = -12,     // reader not started, or device capabilities unreadable
    kErrWriterStart = -13,
    kErrNoEvents = -14,
    kErrRefused = -15,         // command engine refused the command
    kErrAlreadyOpen = -17,
    kErrNoPlatform = -20,
    kErrWriterWait = -23,
    kErrWriteEvent = -24,
    kErrWriteCompletion = -25,
    kErrWriteWait = -27,
    kErrWrite = -28,
    kErrRead = -30,
    kErrReadEvent = -33,
    kErrResponseTimeout = -36,
    kErrUnexpectedResponse = -39,
    kErrNoDeviceSet = -40,
    kErrNoMemory = -41,
    kErrWriteTimeout = -44,
};

// Phases of a port status.
constexpr int kPhaseNotReady = 0;
constexpr int kPhaseOperation = 1;

struct StatusBlock {
    std::int32_t phase;
    std::int32_t code;
};
static_assert(sizeof(StatusBlock) == 8);

}  // namespace pellion

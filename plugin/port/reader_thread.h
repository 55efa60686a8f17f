#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/platform.h"

namespace pellion {

class CComPort;

// Report IDs of the scanner's input reports and the message types they map to.
constexpr std::uint8_t kReportResponse = 0x21;
constexpr std::uint8_t kReportEvent = 0x24;

// The reader thread of a port; its argument is the CComPort.
DWORD WINAPI HIDReaderProc(LPVOID port);

// Turns one completed input report into descriptor data, a response for
// the command engine or a scanner event.
void DecodeReport(CComPort& port, const std::uint8_t* bytes, std::size_t length);

}  // namespace pellion

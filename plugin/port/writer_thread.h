#pragma once

#include <cstddef>

#include "plugin/platform.h"

namespace pellion {

constexpr DWORD kWriteCompletionTimeoutMs = 10000;
constexpr std::size_t kFeatureWriteMaxBytes = 10;  // report ID, command code, 8 payload bytes

// The writer thread of a port; its argument is the CComPort.
DWORD WINAPI HIDWriterProc(LPVOID port);

}  // namespace pellion

#pragma once

#include <cstdint>

namespace pellion {

// The host's logging settings, as its configuration call hands them over.
#pragma pack(push, 1)
struct LoggingConfiguration {
    std::uint8_t field0;
    std::uint8_t reserved1[3];
    std::int32_t field4;
    std::int32_t field8;
    std::uint8_t field12;
    std::uint8_t traceOn;  // non-zero switches the prefixed lines on
    std::uint8_t reserved14[2];
    std::int32_t field16;
};
#pragma pack(pop)
static_assert(sizeof(LoggingConfiguration) == 20);

// Process state: the last configuration the host set (all zero, so silent,
// until it sets one).
void StoreLoggingConfiguration(const LoggingConfiguration& configuration);
LoggingConfiguration CurrentLoggingConfiguration();
bool PrefixedTraceOn();

// Where finished lines go; the system debug output unless replaced.
using TraceSink = void (*)(const char* line);
TraceSink ReplaceTraceSink(TraceSink sink);

// A line written whatever the switch says.
void TraceAlways(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A line with the host's prefix, written only while the switch is on.
void TracePrefixed(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace pellion

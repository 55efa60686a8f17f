#include "plugin/host/trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "plugin/platform.h"
#include "plugin/win_handles.h"

namespace pellion {
namespace {

constexpr char kPrefix[] = "TALVEX:HIDKB >> ";
constexpr std::size_t kLineCapacity = 1024;

void SystemSink(const char* line)
{
    ::OutputDebugStringA(line);
}

struct LoggingState {
    CriticalSection lock;
    LoggingConfiguration configuration{};
    std::atomic<bool> prefixedOn{false};
    std::atomic<TraceSink> sink{&SystemSink};
};

LoggingState& State()
{
    static LoggingState state;
    return state;
}

void Emit(const char* prefix, const char* format, va_list arguments)
{
    char line[kLineCapacity];
    const std::size_t prefixLength = std::strlen(prefix);
    std::memcpy(line, prefix, prefixLength + 1);
    std::vsnprintf(line + prefixLength, sizeof line - prefixLength, format, arguments);
    State().sink.load()(line);
}

}  // namespace

void StoreLoggingConfiguration(const LoggingConfiguration& configuration)
{
    LoggingState& state = State();
    Lock lock(state.lock);
    state.configuration = configuration;
    state.prefixedOn = configuration.traceOn != 0;
}

LoggingConfiguration CurrentLoggingConfiguration()
{
    LoggingState& state = State();
    Lock lock(state.lock);
    return state.configuration;
}

bool PrefixedTraceOn()
{
    return State().prefixedOn;
}

TraceSink ReplaceTraceSink(TraceSink sink)
{
    return State().sink.exchange(sink != nullptr ? sink : &SystemSink);
}

void TraceAlways(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    Emit("", format, arguments);
    va_end(arguments);
}

void TracePrefixed(const char* format, ...)
{
    if (!PrefixedTraceOn())
        return;
    va_list arguments;
    va_start(arguments, format);
    Emit(kPrefix, format, arguments);
    va_end(arguments);
}

}  // namespace pellion

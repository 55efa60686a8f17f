#include "plugin/commands/host_type_commands.h"

#include <cstring>

#include "plugin/port/com_port.h"
#include "plugin/commands/command_engine.h"
#include "plugin/host/trace.h"

namespace pellion {
namespace {

constexpr std::size_t kOpcodeOffset = 0;
constexpr std::size_t kSelectorAOffset = 268;
constexpr std::size_t kSelectorBOffset = 272;
constexpr std::size_t kParameter1Offset = 276;
constexpr std::size_t kParameter2Offset = 280;
constexpr std::size_t kCapabilityReadBytes = 10;

constexpr std::int32_t kSelectorMiralo = 9;
constexpr std::int32_t kSelectorMiraloAlternative = 10;
constexpr std::int32_t kSelectorIbmHandheld = 1;

std::int32_t ReadInt32(const void* block, std::size_t offset)
{
    std::int32_t value = 0;
    std::memcpy(&value, static_cast<const std::uint8_t*>(block) + offset, sizeof value);
    return value;
}

const char* Supported(bool supported)
{
    return supported ? "is supported" : "is not supported";
}

bool ReadCapability(CComPort& port, std::uint8_t& capability)
{
    TracePrefixed("HidD_GetFeature: SWITCH_HOST_TYPE starting");
    std::uint8_t report[kCapabilityReadBytes] = {0x00, kHostTypeCommandCode};
    if (!port.Hid().HidD_GetFeature(port.hidHandle, report, sizeof report))
        return false;
    capability = report[1];
    TracePrefixed("HidD_GetFeature: SWITCH_HOST_TYPE returns SUCCESS");
    TracePrefixed("HidD_GetFeature: RSM over MIRALO %s", Supported(capability & kCapabilityMiralo));
    TracePrefixed("HidD_GetFeature: RSM over IBM Handheld %s", Supported(capability & kCapabilityIbmHandheld));
    return true;
}

// Maps the named host types onto their selector pair after checking the
// scanner offers them; other pairs go to the scanner untested.
bool ResolveSelectors(std::uint8_t capability, std::int32_t& a, std::int32_t& b)
{
    if (a == kSelectorMiralo || a == kSelectorMiraloAlternative) {
        if (!(capability & kCapabilityMiralo))
            return false;
        a = 1;
        b = 0;
    } else if (a == kSelectorIbmHandheld) {
        if (!(capability & kCapabilityIbmHandheld))
            return false;
        a = 0;
        b = 1;
    }
    return true;
}

int Refused(CComPort& port)
{
    port.errorCode = kErrRefused;
    return kErrRefused;
}

int SwitchHostType(CComPort& port, const HostTypeCommand& command)
{
    std::uint8_t capability = 0;
    if (!ReadCapability(port, capability))
        return kErrFailed;
    std::int32_t a = command.selectorA;
    std::int32_t b = command.selectorB;
    if (!ResolveSelectors(capability, a, b))
        return kErrFailed;
    const std::uint8_t payload[] = {HostTypeMode(a, b), static_cast<std::uint8_t>(command.parameter1),
                                    static_cast<std::uint8_t>(command.parameter2)};
    const EngineOutcome outcome =
        CommandEngine(port).Handle(EngineEvent::SendHostType, kHostTypeCommandCode, payload, sizeof payload);
    return outcome == EngineOutcome::Accepted ? kOk : Refused(port);
}

int QueryHostType(CComPort& port)
{
    const EngineOutcome outcome = CommandEngine(port).Handle(EngineEvent::Query, kHostTypeCommandCode);
    return outcome == EngineOutcome::Accepted ? kOk : Refused(port);
}

}  // namespace

HostTypeCommand ReadCommandBlock(const void* block)
{
    HostTypeCommand command;
    command.opcode = ReadInt32(block, kOpcodeOffset);
    command.selectorA = ReadInt32(block, kSelectorAOffset);
    command.selectorB = ReadInt32(block, kSelectorBOffset);
    command.parameter1 = ReadInt32(block, kParameter1Offset);
    command.parameter2 = ReadInt32(block, kParameter2Offset);
    return command;
}

std::uint8_t HostTypeMode(std::int32_t selectorA, std::int32_t selectorB)
{
    // The sum of two 32-bit integers is exact in a double and already
    // whole, so truncating it changes nothing: integer arithmetic in 64 bits
    // gives the same byte without the undefined conversion of huge values.
    const std::int64_t sum = 2 * static_cast<std::int64_t>(selectorA) + selectorB;
    return static_cast<std::uint8_t>(static_cast<std::uint64_t>(sum) & 0xFF);
}

int RunHostTypeCommand(CComPort& port, const HostTypeCommand& command)
{
    int result = kErrFailed;
    if (command.opcode == kSwitchHostType)
        result = SwitchHostType(port, command);
    else if (command.opcode == kQueryHostType)
        result = QueryHostType(port);
    port.errorCode = result;
    return result;
}

}  // namespace pellion

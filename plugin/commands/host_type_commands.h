#pragma once

#include <cstddef>
#include <cstdint>

namespace pellion {

class CComPort;

constexpr std::int32_t kSwitchHostType = 6200;
constexpr std::int32_t kQueryHostType = 6201;

constexpr std::uint8_t kCapabilityMiralo = 0x02;
constexpr std::uint8_t kCapabilityIbmHandheld = 0x01;

// What the plug-in reads of the host's command block.
struct HostTypeCommand {
    std::int32_t opcode = 0;
    std::int32_t selectorA = 0;
    std::int32_t selectorB = 0;
    std::int32_t parameter1 = 0;
    std::int32_t parameter2 = 0;
};

constexpr std::size_t kCommandBlockSize = 6720;
// Picks the fields out of the host's 6720-byte block.
HostTypeCommand ReadCommandBlock(const void* block);

// The mode byte written for a pair of host-type selectors.
std::uint8_t HostTypeMode(std::int32_t selectorA, std::int32_t selectorB);

// Runs an opcode on an open port: kOk when carried out or queued, kErrFailed
// for an unknown opcode, a failed capability read or an unsupported host
// type, kErrRefused when the engine refuses. The port's error code keeps
// the result.
int RunHostTypeCommand(CComPort& port, const HostTypeCommand& command);

}  // namespace pellion

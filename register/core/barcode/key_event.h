#pragma once

#include <cstdint>

// One keyboard message as the scan rules see it, without the window system:
// key-downs and key-ups (system ones included, as Alt makes them), the
// characters the platform translates them into, and the characters it sends
// to the system menu while Alt is held.
namespace quorva {

enum class KeyEventKind { Down, Up, Character, MenuCharacter };

struct KeyEvent {
    KeyEventKind kind;
    // The message time in milliseconds; a character's time is not used.
    std::uint32_t time = 0;
    // The virtual key, or the character's UTF-16 code unit.
    std::uint32_t code = 0;
    // A key-down the keyboard repeats while a key is held.
    bool repeat = false;
    // The extended-key flag: the arrow block beside the keypad has it.
    bool extended = false;
};

// The virtual keys the rules look at (the platform's own numbers).
namespace virtual_keys {
inline constexpr std::uint32_t kTab = 0x09;
inline constexpr std::uint32_t kReturn = 0x0D;
inline constexpr std::uint32_t kAlt = 0x12;
inline constexpr std::uint32_t kNumpad0 = 0x60;
inline constexpr std::uint32_t kNumpad9 = 0x69;
}  // namespace virtual_keys

}  // namespace quorva

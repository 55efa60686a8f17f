#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "register/core/barcode/key_event.h"

// Alt held, a character's code typed on the keypad, Alt released: Windows
// types the character with that code, from the ANSI code page when the code
// starts with 0 and from code page 936 otherwise (the OEM page of a Chinese
// system). Scanners in their GBK mode type Chinese this way. Some platforms
// (Wine) type nothing at all; there the register composes the character
// itself, and only when no character followed the release.
namespace quorva {

// The ANSI code page's characters for one or two bytes.
using AnsiCodePage = std::function<std::u16string(std::string_view bytes)>;

class AltCodeComposer {
public:
    void See(const KeyEvent& event);
    // Alt is held with keypad digits typed, or a released code waits.
    bool Composing() const { return state_ == State::Collecting || pending_.has_value(); }
    // A code was released and no character has followed yet.
    bool Pending() const { return pending_.has_value(); }
    // The platform typed the character itself.
    void Drop() { pending_.reset(); }
    // The waiting code's character, taken; empty when the code names none.
    std::u16string Compose(const AnsiCodePage& ansi);

private:
    enum class State { Idle, Collecting, Cancelled };

    State state_ = State::Idle;
    std::string digits_;
    std::optional<std::string> pending_;
};

}  // namespace quorva

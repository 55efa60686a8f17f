#include "register/core/barcode/alt_code.h"

#include "register/core/text/text_encoding.h"

namespace quorva {

namespace {

// With NumLock off the keypad sends these keys, told from the arrow block by
// their missing extended flag; index = the digit.
constexpr std::uint32_t kKeypadWithoutNumLock[] = {0x2D, 0x23, 0x28, 0x22, 0x25, 0x0C, 0x27, 0x24, 0x26, 0x21};
constexpr std::uint32_t kCodeRange = 0x10000;
constexpr std::uint32_t kOneByteCodes = 0x100;
constexpr char16_t kReplacement = 0xFFFD;

std::optional<char> KeypadDigit(const KeyEvent& event)
{
    if (event.code >= virtual_keys::kNumpad0 && event.code <= virtual_keys::kNumpad9) {
        return static_cast<char>('0' + (event.code - virtual_keys::kNumpad0));
    }
    if (event.extended) return std::nullopt;
    for (int digit = 0; digit < 10; ++digit) {
        if (kKeypadWithoutNumLock[digit] == event.code) return static_cast<char>('0' + digit);
    }
    return std::nullopt;
}

std::string CodeBytes(const std::string& digits)
{
    std::uint32_t code = 0;
    for (char digit : digits) code = (code * 10 + static_cast<std::uint32_t>(digit - '0')) % kCodeRange;
    if (code == 0) return "";
    if (code < kOneByteCodes) return std::string(1, static_cast<char>(code));
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

}  // namespace

void AltCodeComposer::See(const KeyEvent& event)
{
    if (event.repeat || (event.kind != KeyEventKind::Down && event.kind != KeyEventKind::Up)) return;
    const bool alt = event.code == virtual_keys::kAlt;
    if (event.kind == KeyEventKind::Down) {
        if (alt) {
            state_ = State::Collecting;
            digits_.clear();
        } else if (state_ == State::Collecting) {
            // Any other key ends the code, as it does on Windows.
            const std::optional<char> digit = KeypadDigit(event);
            if (digit) {
                digits_ += *digit;
            } else {
                state_ = State::Cancelled;
            }
        }
        return;
    }
    if (alt) {
        if (state_ == State::Collecting && !digits_.empty()) pending_ = digits_;
        state_ = State::Idle;
    }
}

std::u16string AltCodeComposer::Compose(const AnsiCodePage& ansi)
{
    const std::string digits = pending_.value_or("");
    pending_.reset();
    const std::string bytes = CodeBytes(digits);
    if (bytes.empty()) return u"";
    const bool ansiPage = digits.front() == '0' && ansi;
    const std::u16string text = ansiPage ? ansi(bytes) : Utf8ToUtf16(Gb18030ToUtf8(bytes));
    if (text.find(kReplacement) != std::u16string::npos) return u"";
    return text;
}

}  // namespace quorva

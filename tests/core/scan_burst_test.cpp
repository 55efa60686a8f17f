#include "register/core/barcode/scan_burst.h"

#include <gtest/gtest.h>

#include <cctype>

#include "register/core/text/text_encoding.h"

namespace quorva {
namespace {

using Kind = KeyEventKind;
constexpr std::uint32_t kShift = 0x10, kControl = 0x11, kPacket = 0xE7;
const char* const kBarcode = "GB0626-2005^1^国务院办公厅^函^[2026]3号^^关于 x^^^20261201^^^";

// Keyboard messages as the platform delivers them, `gap` ms apart.
struct Recording {
    explicit Recording(std::uint32_t gapMs = 1) : gap(gapMs) {}
    Recording& Key(std::uint32_t vk, Kind kind = Kind::Down, bool repeat = false)
    {
        events.push_back({kind, time += gap, vk, repeat});
        return *this;
    }
    Recording& Char(char16_t unit, Kind kind = Kind::Character) { return events.push_back({kind, 0, unit}), *this; }
    Recording& Stroke(std::uint32_t vk, char16_t unit) { return Key(vk).Char(unit).Key(vk, Kind::Up); }
    Recording& Unicode(const std::string& text)
    {
        for (char16_t unit : Utf8ToUtf16(text)) Stroke(kPacket, unit);
        return *this;
    }
    // ASCII as keys, Shift for capitals and symbols; the rest as Alt and its
    // code page 936 code, which the platform types itself or not.
    Recording& Keys(const std::string& text, bool platformTypes = false)
    {
        for (char16_t unit : Utf8ToUtf16(text)) {
            if (unit >= 0x80) {
                AltCode(Utf8ToGb18030(Utf16ToUtf8(std::u16string(1, unit))), platformTypes ? unit : 0);
            } else if (std::isupper(unit) || std::ispunct(unit)) {
                Key(kShift).Stroke(std::toupper(unit), unit).Key(kShift, Kind::Up);
            } else {
                Stroke(std::toupper(unit), unit);
            }
        }
        return *this;
    }
    Recording& AltCode(const std::string& bytes, char16_t typed = 0, const std::string& zero = "")
    {
        unsigned code = 0;
        for (unsigned char byte : bytes) code = code << 8 | byte;
        Key(virtual_keys::kAlt);
        for (char digit : zero + std::to_string(code)) {
            Key(virtual_keys::kNumpad0 + (digit - '0')).Char(digit, Kind::MenuCharacter);
            Key(virtual_keys::kNumpad0 + (digit - '0'), Kind::Up);
        }
        Key(virtual_keys::kAlt, Kind::Up);
        return typed ? Char(typed) : *this;
    }

    std::vector<KeyEvent> events;
    std::uint32_t time = 1000;
    std::uint32_t gap;
};

// The scans, and what reaches the window: the characters let through and
// those typed for Alt codes the platform left untyped.
std::pair<std::vector<std::string>, std::string> Play(const Recording& recording)
{
    // A Latin-1 ANSI page, to tell it from code page 936.
    ScanBurst burst([](std::string_view bytes) { return std::u16string(1, static_cast<unsigned char>(bytes[0])); });
    std::vector<std::string> scans;
    std::u16string passed;
    const auto follow = [&](const KeyVerdict& verdict, const KeyEvent& event) {
        passed += verdict.typed;
        if (event.kind == Kind::Character && !verdict.swallow) passed += static_cast<char16_t>(event.code);
        while (auto scan = burst.TakeScan()) scans.push_back(*scan);
    };
    for (const KeyEvent& event : recording.events) follow(burst.See(event), event);
    follow(burst.Quiet(recording.time + kMaxScanEventGapMs + 1), KeyEvent{Kind::Up});
    return {scans, Utf16ToUtf8(passed)};
}

TEST(ScanBurst, RecordedKeyboardMessagesGiveTheScansAndLetTheRestThrough)
{
    const std::string tag = "GB0626-2005";
    const struct {
        const char* name;
        Recording recording;
        std::vector<std::string> scans;
        std::string passed;
    } cases[] = {
        {"keys and Alt codes, 100 ms, CR LF",
         Recording(100).Keys(kBarcode).Stroke(virtual_keys::kReturn, u'\r').Key(kControl).Stroke('J', u'\n'), {kBarcode}, tag},
        {"Alt codes typed by the platform, 30 ms, Tab", Recording(30).Keys(kBarcode, true).Stroke(virtual_keys::kTab, u'\t'),
         {kBarcode}, tag},
        {"unicode, 100 ms, no ending", Recording(100).Unicode(kBarcode), {kBarcode}, tag},
        {"two scans in a row", Recording().Unicode(kBarcode).Stroke(virtual_keys::kTab, u'\t').Unicode(kBarcode),
         {kBarcode, kBarcode}, tag + tag},
        {"the tag typed by hand", Recording(250).Unicode(kBarcode), {}, kBarcode},
        {"other text at scanner pace", Recording().Keys("1100001234\r"), {}, "1100001234\r"},
        {"a held key breaks the run",
         Recording().Unicode("GB0626").Key('-').Char(u'-').Key('-', Kind::Down, true).Char(u'-').Key('-', Kind::Up).Unicode("2005^1"),
         {}, "GB0626--2005^1"},
        {"Alt codes of both pages the platform leaves untyped", Recording(150).AltCode("\xBE\xD6").AltCode("\xE9", 0, "0").Keys("x"),
         {}, "局éx"},
    };
    for (const auto& c : cases) EXPECT_EQ(Play(c.recording), std::make_pair(c.scans, c.passed)) << c.name;
}

}  // namespace
}  // namespace quorva

#include "register/core/barcode/scan_burst.h"

#include <gtest/gtest.h>

#include <cctype>

#include "register/core/text/text_encoding.h"

namespace quorva {
namespace {

constexpr std::uint32_t kShift = 0x10, kPacket = 0xE7, kControl = 0x11;
const char* const kBarcode = "GB0626-2005^1^国务院办公厅^函^[2026]3号^^关于 x^^^20261201^^^";

// Keyboard messages as the platform delivers them, `gap` ms apart.
struct Recording {
    std::vector<KeyEvent> events;
    std::uint32_t time = 1000;
    std::uint32_t gap = 1;

    void Key(std::uint32_t vk, bool down, bool repeat = false)
    {
        events.push_back({down ? KeyEventKind::Down : KeyEventKind::Up, time += gap, vk, repeat});
    }
    void Char(char16_t unit, KeyEventKind kind = KeyEventKind::Character) { events.push_back({kind, 0, unit}); }
    void Stroke(std::uint32_t vk, char16_t unit)
    {
        Key(vk, true);
        Char(unit);
        Key(vk, false);
    }
    Recording& Unicode(const std::string& text)
    {
        for (char16_t unit : Utf8ToUtf16(text)) Stroke(kPacket, unit);
        return *this;
    }
    // ASCII as keys, Shift for capitals and symbols; the rest as Alt and its
    // code page 936 code, which the platform types itself or not.
    Recording& Keys(const std::string& text, bool platformComposes = false)
    {
        for (char16_t unit : Utf8ToUtf16(text)) {
            if (unit >= 0x80) {
                AltCode(Utf8ToGb18030(Utf16ToUtf8(std::u16string(1, unit))), platformComposes ? unit : 0);
            } else if (std::isupper(unit) || std::ispunct(unit)) {
                Key(kShift, true);
                Stroke(std::toupper(unit), unit);
                Key(kShift, false);
            } else {
                Stroke(std::toupper(unit), unit);
            }
        }
        return *this;
    }
    Recording& AltCode(const std::string& bytes, char16_t typed = 0, const char* prefix = "")
    {
        const unsigned code = bytes.size() == 1 ? static_cast<unsigned char>(bytes[0])
                                                : static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]);
        Key(virtual_keys::kAlt, true);
        for (char digit : prefix + std::to_string(code)) {
            Key(virtual_keys::kNumpad0 + (digit - '0'), true);
            Char(digit, KeyEventKind::MenuCharacter);
            Key(virtual_keys::kNumpad0 + (digit - '0'), false);
        }
        Key(virtual_keys::kAlt, false);
        if (typed) Char(typed);
        return *this;
    }
    Recording& Enter() { return Stroke(virtual_keys::kReturn, u'\r'), *this; }
    Recording& LineFeed() { return Key(kControl, true), Stroke('J', u'\n'), Key(kControl, false), *this; }
    Recording& Tab() { return Stroke(virtual_keys::kTab, u'\t'), *this; }
    Recording& Pace(std::uint32_t ms) { return gap = ms, *this; }
    Recording& Held(std::uint32_t vk, char16_t unit)
    {
        Key(vk, true);
        Char(unit);
        for (int i = 0; i < 3; ++i) Key(vk, true, true), Char(unit);
        return Key(vk, false), *this;
    }
};

struct Outcome {
    std::vector<std::string> scans;
    // What reaches the window: the characters let through and those typed
    // for Alt codes the platform did not compose.
    std::string passed;
};

Outcome Play(const Recording& recording)
{
    // A Latin-1 ANSI page, to tell it from code page 936.
    ScanBurst burst([](std::string_view bytes) { return std::u16string(1, static_cast<unsigned char>(bytes[0])); });
    Outcome outcome;
    std::u16string passed;
    const auto take = [&](const KeyVerdict& verdict, const KeyEvent* event) {
        passed += verdict.typed;
        if (event && event->kind == KeyEventKind::Character && !verdict.swallow) passed += static_cast<char16_t>(event->code);
        while (auto scan = burst.TakeScan()) outcome.scans.push_back(*scan);
    };
    for (const KeyEvent& event : recording.events) take(burst.See(event), &event);
    take(burst.Quiet(recording.time + kMaxScanEventGapMs + 1), nullptr);
    outcome.passed = Utf16ToUtf8(passed);
    return outcome;
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
        {"unicode, 1 ms, CR", Recording().Unicode(kBarcode).Enter(), {kBarcode}, tag},
        {"keys and Alt codes, 100 ms, CR LF", Recording().Pace(100).Keys(kBarcode).Enter().LineFeed(), {kBarcode}, tag},
        {"Alt codes typed by the platform, 30 ms, Tab", Recording().Pace(30).Keys(kBarcode, true).Tab(), {kBarcode}, tag},
        {"unicode, 100 ms, no ending", Recording().Pace(100).Unicode(kBarcode), {kBarcode}, tag},
        {"two scans in a row", Recording().Unicode(kBarcode).Enter().Unicode(kBarcode).Tab(), {kBarcode, kBarcode}, tag + tag},
        {"the tag typed by hand", Recording().Pace(250).Unicode(kBarcode).Enter(), {}, kBarcode + std::string("\r")},
        {"other text at scanner pace", Recording().Keys("1100001234").Enter(), {}, "1100001234\r"},
        {"a held key breaks the run", Recording().Unicode("GB0626").Held('-', u'-').Unicode("2005^1").Enter(), {},
         "GB0626----2005^1\r"},
        {"Alt codes of both pages where the platform types none",
         Recording().Pace(150).AltCode("\xBE\xD6").AltCode("\xE9", 0, "0").Keys("x"), {}, "局éx"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Play(c.recording);
        EXPECT_EQ(outcome.scans, c.scans) << c.name;
        EXPECT_EQ(outcome.passed, c.passed) << c.name;
    }
}

}  // namespace
}  // namespace quorva

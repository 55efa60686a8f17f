#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "register/core/barcode/alt_code.h"
#include "register/core/barcode/key_event.h"

// Tells a scanned document barcode from a person's typing, whatever way the
// scanner types it.
//
// A keyboard-wedge scanner types a barcode in one burst. Depending on how it
// is set up it sends each character as a Unicode keystroke, as a virtual key
// with Shift where needed (CapsLock may be on), or, for Chinese, as Alt with
// the character's code on the keypad; it may pause up to 100 ms between key
// events and may end with Enter, Enter and a line feed, Tab, or nothing.
//
// The rule: a run is the key events that follow one another with no gap
// longer than kMaxScanEventGapMs. Gaps are measured between key-downs and
// key-ups, every one of them (Shift, Alt and the keypad included); the
// characters they translate into carry the run's text, and a character
// composed from an Alt code (see alt_code.h) counts as typed. Auto-repeat
// never comes from a scanner: a repeated key-down ends the run, and nothing
// typed until the next fresh key counts. A run becomes a scan the moment its
// text starts with a known version tag and its separator; until then every
// event passes untouched, so typing by hand of any other text behaves as
// if the rule were not there. From then on every event of the run is
// swallowed, Tab and Space included. The scan ends at Enter, Tab, or a
// carriage-return, line-feed or tab character, and the rest of its ending
// (the line feed, the key-ups) is swallowed too; a scanner that sends no
// ending ends at the first gap, which the window notices through Quiet().
namespace quorva {

inline constexpr std::uint32_t kMaxScanEventGapMs = 200;

// What to do with one keyboard message.
struct KeyVerdict {
    // Keep it from the window.
    bool swallow = false;
    // It begins a new run: the window notes where the focus is and what it
    // holds, so a scan's first characters can be taken back.
    bool runStarted = false;
    // An Alt code the platform did not type, to be typed into the focus
    // before this message.
    std::u16string typed;
};

class ScanBurst {
public:
    explicit ScanBurst(AnsiCodePage ansi = {});

    KeyVerdict See(const KeyEvent& event);
    // The window has had no keyboard message for a while; `now` on the clock
    // of message times.
    KeyVerdict Quiet(std::uint32_t now);
    // The next finished scan's text (UTF-8), oldest first.
    std::optional<std::string> TakeScan();
    // Something ends only with a quiet gap: the window keeps a timer for
    // Quiet() while this holds.
    bool WaitsForQuiet() const;

private:
    enum class Phase { Typing, Scanning, Ending };

    bool GapBefore(std::uint32_t time) const;
    void StartRun(KeyVerdict& verdict);
    void EndRun();
    void FinishScan();
    // Adds to the run's text; true when the text belongs to a scan.
    bool Extend(const std::u16string& text, KeyVerdict& verdict);
    void ComposePending(KeyVerdict& verdict);
    void SeeCharacter(char16_t unit, KeyVerdict& verdict);

    AnsiCodePage ansi_;
    AltCodeComposer altCode_;
    Phase phase_ = Phase::Typing;
    bool live_ = false;
    std::uint32_t lastKey_ = 0;
    std::u16string run_;
    std::deque<std::string> scans_;
};

}  // namespace quorva

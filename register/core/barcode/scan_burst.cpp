#include "register/core/barcode/scan_burst.h"

#include "register/core/barcode/document_barcode.h"
#include "register/core/text/text_encoding.h"

namespace quorva {

namespace {

constexpr char16_t kFirstPrintable = 0x20;
// Longer than any version tag with its separator: a run still typing needs
// no more of its text than this.
constexpr std::size_t kTypingTextKept = 64;
// Message times wrap after 49.7 days; a difference this large is a time
// before the last one, not a gap.
constexpr std::uint32_t kBackwards = 0x80000000u;

bool IsKey(const KeyEvent& event)
{
    return event.kind == KeyEventKind::Down || event.kind == KeyEventKind::Up;
}

bool IsEnding(char16_t unit)
{
    return unit == u'\r' || unit == u'\n' || unit == u'\t';
}

bool IsEndingKey(const KeyEvent& event)
{
    return event.kind == KeyEventKind::Down &&
           (event.code == virtual_keys::kReturn || event.code == virtual_keys::kTab);
}

}  // namespace

ScanBurst::ScanBurst(AnsiCodePage ansi) : ansi_(std::move(ansi)) {}

KeyVerdict ScanBurst::See(const KeyEvent& event)
{
    KeyVerdict verdict;
    if (IsKey(event)) {
        if (event.repeat) {
            if (phase_ == Phase::Typing) EndRun();
            verdict.swallow = phase_ != Phase::Typing;
            return verdict;
        }
        if (live_ && GapBefore(event.time)) EndRun();
        if (!live_) StartRun(verdict);
        lastKey_ = event.time;
    }
    if (event.kind == KeyEventKind::Character && altCode_.Pending()) {
        altCode_.Drop();
    } else {
        ComposePending(verdict);
    }
    altCode_.See(event);
    switch (event.kind) {
    case KeyEventKind::MenuCharacter:
        // Alt's keypad digits would otherwise go to the system menu.
        verdict.swallow = altCode_.Composing() || phase_ != Phase::Typing;
        break;
    case KeyEventKind::Character:
        SeeCharacter(static_cast<char16_t>(event.code), verdict);
        break;
    default:
        if (phase_ == Phase::Scanning && IsEndingKey(event)) FinishScan();
        verdict.swallow = phase_ != Phase::Typing;
        break;
    }
    return verdict;
}

KeyVerdict ScanBurst::Quiet(std::uint32_t now)
{
    KeyVerdict verdict;
    ComposePending(verdict);
    if (live_ && GapBefore(now)) EndRun();
    return verdict;
}

std::optional<std::string> ScanBurst::TakeScan()
{
    if (scans_.empty()) return std::nullopt;
    std::string scan = std::move(scans_.front());
    scans_.pop_front();
    return scan;
}

bool ScanBurst::WaitsForQuiet() const
{
    return altCode_.Pending() || phase_ != Phase::Typing;
}

bool ScanBurst::GapBefore(std::uint32_t time) const
{
    const std::uint32_t elapsed = time - lastKey_;
    return elapsed > kMaxScanEventGapMs && elapsed < kBackwards;
}

void ScanBurst::StartRun(KeyVerdict& verdict)
{
    live_ = true;
    run_.clear();
    verdict.runStarted = true;
}

void ScanBurst::EndRun()
{
    if (phase_ == Phase::Scanning) scans_.push_back(Utf16ToUtf8(run_));
    phase_ = Phase::Typing;
    live_ = false;
    run_.clear();
}

void ScanBurst::FinishScan()
{
    scans_.push_back(Utf16ToUtf8(run_));
    run_.clear();
    phase_ = Phase::Ending;
}

bool ScanBurst::Extend(const std::u16string& text, KeyVerdict& verdict)
{
    // A printable character right after a scan's ending is the next burst.
    if (phase_ == Phase::Ending) {
        phase_ = Phase::Typing;
        StartRun(verdict);
    }
    if (!live_ || (phase_ == Phase::Typing && run_.size() >= kTypingTextKept)) return false;
    run_ += text;
    if (phase_ == Phase::Typing && StartsDocumentBarcode(Utf16ToUtf8(run_))) phase_ = Phase::Scanning;
    return phase_ == Phase::Scanning;
}

void ScanBurst::ComposePending(KeyVerdict& verdict)
{
    if (!altCode_.Pending()) return;
    // Each composed character counts as typed, so that one below the
    // printable ones (a code such as 5130 gives a line feed) ends a scan as
    // its own key would, rather than landing inside the scan's text.
    for (char16_t unit : altCode_.Compose(ansi_)) {
        KeyVerdict typed;
        SeeCharacter(unit, typed);
        if (!typed.swallow) verdict.typed += unit;
        verdict.runStarted = verdict.runStarted || typed.runStarted;
    }
}

void ScanBurst::SeeCharacter(char16_t unit, KeyVerdict& verdict)
{
    if (unit < kFirstPrintable) {
        if (phase_ == Phase::Scanning && IsEnding(unit)) FinishScan();
        verdict.swallow = phase_ != Phase::Typing;
        return;
    }
    verdict.swallow = Extend(std::u16string(1, unit), verdict);
}

}  // namespace quorva

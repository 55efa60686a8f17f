#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Tells a scanner's burst from a person's typing.
//
// A scanner working as a keyboard types a whole barcode in one burst: its
// keystrokes follow one another within a few milliseconds, and it ends with
// Enter. A person leaves a hundred milliseconds or more between keys. A run
// is the keystrokes since the last gap longer than kMaxScanKeyGapMs; an Enter
// that comes within that gap after a run of at least kMinScanLength
// characters ends a scan. A scan is a document barcode when its text starts
// with a known version tag (see document_barcode.h); a person cannot type
// one at scanner pace, so typing by hand is never taken for a scan.
namespace quorva {

inline constexpr std::uint32_t kMaxScanKeyGapMs = 50;
inline constexpr std::size_t kMinScanLength = 8;

class ScanBurst {
public:
    // A key other than Enter went down; `time` is its message time in ms.
    void KeyDown(std::uint32_t time);
    // The character it typed (UTF-16 code unit; surrogates come one by one).
    void Character(char16_t unit);
    // Enter went down: the run's text when the run was a scan. The run ends
    // either way.
    std::optional<std::string> Enter(std::uint32_t time);

    // The current run's text so far (UTF-8).
    std::string Text() const;
    // True while the current run has no characters yet.
    bool RunIsEmpty() const { return run_.empty(); }

private:
    bool InPace(std::uint32_t time) const;

    std::u16string run_;
    std::uint32_t lastKey_ = 0;
    bool hasKey_ = false;
};

}  // namespace quorva

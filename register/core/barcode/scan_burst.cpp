#include "register/core/barcode/scan_burst.h"

#include "register/core/text/text_encoding.h"

namespace quorva {

bool ScanBurst::InPace(std::uint32_t time) const
{
    // Unsigned difference: message times wrap after 49.7 days.
    return hasKey_ && time - lastKey_ <= kMaxScanKeyGapMs;
}

void ScanBurst::KeyDown(std::uint32_t time)
{
    if (!InPace(time)) run_.clear();
    lastKey_ = time;
    hasKey_ = true;
}

void ScanBurst::Character(char16_t unit)
{
    run_ += unit;
}

std::optional<std::string> ScanBurst::Enter(std::uint32_t time)
{
    const bool scan = InPace(time) && run_.size() >= kMinScanLength;
    std::optional<std::string> text;
    if (scan) text = Utf16ToUtf8(run_);
    run_.clear();
    hasKey_ = false;
    return text;
}

std::string ScanBurst::Text() const
{
    return Utf16ToUtf8(run_);
}

}  // namespace quorva

#include <cstddef>
#include <cstdint>
#include <string>

#include "register/core/barcode/document_barcode.h"
#include "register/core/barcode/scan_burst.h"
#include "register/core/text/text_encoding.h"
#include "tests/fuzz/fuzz_property.h"

// Any run of keyboard messages, four bytes each: the kind with the repeat
// and extended flags, the milliseconds since the last one, and the key or
// character. Every scan taken is a document barcode's text, whole: it starts
// with a version tag, holds no line end or tab and is sound UTF-8; once the
// keyboard has been quiet, nothing waits.
using namespace quorva;

namespace {

constexpr std::size_t kEventBytes = 4;
// Steps of 2 ms reach past the longest gap within a scan.
constexpr std::uint32_t kMsPerStep = 2;

KeyEvent EventAt(const std::uint8_t* bytes, std::uint32_t& time)
{
    time += bytes[1] * kMsPerStep;
    KeyEvent event{static_cast<KeyEventKind>(bytes[0] & 3), time, static_cast<std::uint32_t>(bytes[2] | bytes[3] << 8)};
    event.repeat = bytes[0] & 4;
    event.extended = bytes[0] & 8;
    return event;
}

void CheckScans(ScanBurst& burst)
{
    while (const std::optional<std::string> scan = burst.TakeScan()) {
        Require(StartsDocumentBarcode(*scan), "a scan starts with a version tag");
        Require(scan->find_first_of("\r\n\t") == std::string::npos, "a scan holds no ending");
        Require(Utf16ToUtf8(Utf8ToUtf16(*scan)) == *scan, "a scan is sound UTF-8");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The ANSI page as Latin-1, so that every byte is a character.
    ScanBurst burst([](std::string_view bytes) { return std::u16string(bytes.begin(), bytes.end()); });
    std::uint32_t time = 0;
    for (std::size_t at = 0; at + kEventBytes <= size; at += kEventBytes) {
        burst.See(EventAt(data + at, time));
        CheckScans(burst);
    }
    burst.Quiet(time + kMaxScanEventGapMs + 1);
    CheckScans(burst);
    Require(!burst.WaitsForQuiet(), "nothing waits once the keyboard is quiet");
    return 0;
}

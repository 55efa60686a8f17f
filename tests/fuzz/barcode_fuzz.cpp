#include <cstddef>
#include <cstdint>
#include <string>

#include "register/core/barcode/document_barcode.h"
#include "register/core/text/civil_date.h"
#include "tests/fuzz/fuzz_property.h"

// Any text as a scanned barcode. The fields it gives, each followed by "^"
// as on a barcode, read again as the same document; a date is empty, the
// eight digits of a real day, or flagged; only the last field holds a "^".
using namespace quorva;

namespace {

bool Flagged(const ScannedDocument& document, Column column)
{
    for (Column misfit : document.misfits) {
        if (misfit == column) return true;
    }
    return false;
}

bool IsDay(const std::string& text)
{
    return text.size() == 8 && ParseCompactDate(text).has_value();
}

const BarcodeLayout& LayoutOf(const ScannedDocument& document)
{
    for (const BarcodeLayout& layout : BarcodeLayouts()) {
        if (document.versionTag == layout.versionTag) return layout;
    }
    Require(false, "a document has a known version tag");
    return BarcodeLayouts().front();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<ScannedDocument> document = ParseDocumentBarcode(text);
    Require(document.has_value() == StartsDocumentBarcode(text), "a document exactly when a version tag starts it");
    if (!document) return 0;
    std::string again = document->versionTag + kBarcodeSeparator;
    for (const BarcodeSlot& slot : LayoutOf(*document).slots) {
        const std::string& field = (*document)[slot.column];
        if (slot.kind != BarcodeFieldKind::Custom) Require(field.find(kBarcodeSeparator) == std::string::npos, "one field between separators");
        if (slot.kind == BarcodeFieldKind::Date) Require(field.empty() || IsDay(field) || Flagged(*document, slot.column), "a date is empty, a day or flagged");
        again += field + kBarcodeSeparator;
    }
    if (document->fieldsMissing) return 0;
    const std::optional<ScannedDocument> reread = ParseDocumentBarcode(again);
    Require(reread && reread->fields == document->fields && reread->misfits == document->misfits,
            "the fields joined back read as the same document");
    return 0;
}

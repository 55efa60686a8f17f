#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "register/core/records/document_statements.h"

// The text of the two-dimensional barcode printed on official documents: a
// version tag, then the document's fields in a fixed order, each followed by
// "^". Each known version is one row of a layout table, so another issuer's
// layout is one more row.
namespace quorva {

// What a field's text becomes on its way into a record.
enum class BarcodeFieldKind {
    Text,       // as it stands
    Reference,  // the reference number: the register's bracket rule
    Date,       // yyyymmdd when readable, otherwise kept and flagged
    Classification,  // empty, or one of the register's levels and periods
    Urgency,    // empty, or one of the register's urgencies
    Custom,     // the last field, taking any extra fields joined by "^"
};

struct BarcodeSlot {
    Column column;
    BarcodeFieldKind kind;
};

struct BarcodeLayout {
    const char* versionTag;
    std::vector<BarcodeSlot> slots;
};

const std::vector<BarcodeLayout>& BarcodeLayouts();

inline constexpr char kBarcodeSeparator = '^';

struct ScannedDocument {
    std::string versionTag;
    // By Column; only the barcode's columns are filled.
    RecordFields fields{};
    // Fields whose text does not fit their kind, kept as they came: a "^"
    // inside a field shifts every later one, and this is how it shows.
    std::vector<Column> misfits;
    // Fewer fields than the layout's: a separator is missing.
    bool fieldsMissing = false;

    const std::string& operator[](Column column) const { return fields[static_cast<int>(column)]; }
};

// Nothing when the text does not start with a known version tag and "^".
// A trailing "^", "^|" and line ends are dropped; missing fields are empty.
std::optional<ScannedDocument> ParseDocumentBarcode(std::string_view text);

// True when `text` starts with a known version tag and "^".
bool StartsDocumentBarcode(std::string_view text);

// yyyymmdd, yyyy-mm-dd, yyyy.m.d and yyyy年m月d日 as yyyymmdd; nothing for
// any other text.
std::optional<std::string> NormaliseBarcodeDate(std::string_view text);

}  // namespace quorva

#include "register/core/barcode/document_barcode.h"

#include <algorithm>

#include "register/core/entry/entry_dialog.h"
#include "register/core/text/civil_date.h"

namespace quorva {

namespace {

using Kind = BarcodeFieldKind;

// A date's separators after the year, the month and the day.
struct DateForm {
    std::string_view afterYear;
    std::string_view afterMonth;
    std::string_view afterDay;
};
const DateForm kSeparatedDateForms[] = {{"-", "-", ""}, {".", ".", ""}, {"年", "月", "日"}};

constexpr std::size_t kCompactDateLength = 8;
constexpr std::size_t kYearDigits = 4;
constexpr std::size_t kMaxMonthOrDayDigits = 2;
const std::string_view kDroppedEndings[] = {"^|", "^"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..maxDigits digits at `pos`, moving past them.
bool ReadNumber(std::string_view text, std::size_t& pos, std::size_t minDigits, std::size_t maxDigits, int& value)
{
    std::size_t count = 0;
    value = 0;
    while (pos < text.size() && IsDigit(text[pos]) && count < maxDigits) {
        value = value * 10 + (text[pos++] - '0');
        ++count;
    }
    return count >= minDigits && (pos >= text.size() || !IsDigit(text[pos]));
}

bool Skip(std::string_view text, std::size_t& pos, std::string_view expected)
{
    if (text.substr(pos, expected.size()) != expected) return false;
    pos += expected.size();
    return true;
}

std::optional<CivilDate> ReadSeparatedDate(std::string_view text, const DateForm& form)
{
    std::size_t pos = 0;
    CivilDate date;
    if (!ReadNumber(text, pos, kYearDigits, kYearDigits, date.year) || !Skip(text, pos, form.afterYear) ||
        !ReadNumber(text, pos, 1, kMaxMonthOrDayDigits, date.month) || !Skip(text, pos, form.afterMonth) ||
        !ReadNumber(text, pos, 1, kMaxMonthOrDayDigits, date.day) || !Skip(text, pos, form.afterDay) ||
        pos != text.size() || !CivilDate::IsValid(date.year, date.month, date.day)) {
        return std::nullopt;
    }
    return date;
}

std::string_view WithoutEnding(std::string_view text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
    for (std::string_view ending : kDroppedEndings) {
        if (text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending) {
            text.remove_suffix(ending.size());
            break;
        }
    }
    return text;
}

std::vector<std::string_view> SplitFields(std::string_view text)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(kBarcodeSeparator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string JoinFrom(const std::vector<std::string_view>& parts, std::size_t first)
{
    std::string joined;
    for (std::size_t i = first; i < parts.size(); ++i) {
        if (i > first) joined += kBarcodeSeparator;
        joined += parts[i];
    }
    return joined;
}

const BarcodeLayout* LayoutOf(std::string_view text)
{
    for (const BarcodeLayout& layout : BarcodeLayouts()) {
        const std::string_view tag = layout.versionTag;
        if (text.size() > tag.size() && text.substr(0, tag.size()) == tag && text[tag.size()] == kBarcodeSeparator) {
            return &layout;
        }
    }
    return nullptr;
}

template <std::size_t N>
bool IsOneOf(std::string_view text, const char* const (&values)[N])
{
    return std::find(std::begin(values), std::end(values), text) != std::end(values);
}

bool IsRegisterClassification(std::string_view text)
{
    for (std::string_view level : kClassificationLevels) {
        if (text.substr(0, level.size()) != level) continue;
        const std::string_view period = text.substr(level.size());
        return period.empty() || IsOneOf(period, kSecrecyPeriods);
    }
    return false;
}

bool Fits(const BarcodeSlot& slot, const std::string& text)
{
    if (text.empty()) return true;
    switch (slot.kind) {
    case Kind::Date:
        return NormaliseBarcodeDate(text).has_value();
    case Kind::Classification:
        return IsRegisterClassification(text);
    case Kind::Urgency:
        return IsOneOf(text, kUrgencies);
    default:
        return true;
    }
}

void PutField(ScannedDocument& document, const BarcodeSlot& slot, std::string text)
{
    if (!Fits(slot, text)) document.misfits.push_back(slot.column);
    std::string& field = document.fields[static_cast<int>(slot.column)];
    if (slot.kind == Kind::Reference) {
        field = ApplyBracketRule(text);
    } else if (slot.kind == Kind::Date) {
        field = NormaliseBarcodeDate(text).value_or(text);
    } else {
        field = std::move(text);
    }
}

}  // namespace

const std::vector<BarcodeLayout>& BarcodeLayouts()
{
    static const std::vector<BarcodeLayout> layouts = {
        {"GB0626-2005",
         {{Column::tmbh, Kind::Text}, {Column::lwdw, Kind::Text}, {Column::wz, Kind::Text},
          {Column::wh, Kind::Reference}, {Column::zsdw, Kind::Text}, {Column::wjbt, Kind::Text},
          {Column::mmdj, Kind::Classification}, {Column::jjcd, Kind::Urgency}, {Column::fwrq, Kind::Date},
          {Column::fbcq, Kind::Text}, {Column::tmzzdw, Kind::Text}, {Column::zzrq, Kind::Date},
          {Column::zdyzd, Kind::Custom}}},
    };
    return layouts;
}

std::optional<std::string> NormaliseBarcodeDate(std::string_view text)
{
    if (text.size() == kCompactDateLength) {
        if (const std::optional<CivilDate> date = ParseCompactDate(std::string(text))) return date->ToCompact();
    }
    for (const DateForm& form : kSeparatedDateForms) {
        if (const std::optional<CivilDate> date = ReadSeparatedDate(text, form)) return date->ToCompact();
    }
    return std::nullopt;
}

std::optional<ScannedDocument> ParseDocumentBarcode(std::string_view text)
{
    const BarcodeLayout* layout = LayoutOf(text);
    if (!layout) return std::nullopt;
    ScannedDocument document;
    document.versionTag = layout->versionTag;
    const std::string_view body = WithoutEnding(text.substr(document.versionTag.size() + 1));
    const std::vector<std::string_view> parts = SplitFields(body);
    document.fieldsMissing = parts.size() + 1 < layout->slots.size();
    for (std::size_t i = 0; i < layout->slots.size() && i < parts.size(); ++i) {
        const BarcodeSlot& slot = layout->slots[i];
        PutField(document, slot, slot.kind == Kind::Custom ? JoinFrom(parts, i) : std::string(parts[i]));
    }
    return document;
}

bool StartsDocumentBarcode(std::string_view text)
{
    return LayoutOf(text) != nullptr;
}

}  // namespace quorva

#include "register/core/entry/record_entry.h"

#include "register/core/records/document_table.h"
#include "register/core/text/text_encoding.h"

namespace quorva {

namespace {

// Dialog control of each written column; dates and the classification are
// handled apart.
const struct {
    Column column;
    EntryField field;
} kTextColumns[] = {
    {Column::tmbh, EntryField::etmbh},     {Column::lwdw, EntryField::elwdw},   {Column::wz, EntryField::ewz},
    {Column::zsdw, EntryField::ezsdw},     {Column::wjbt, EntryField::ewjbt},   {Column::jjcd, EntryField::ejjcd},
    {Column::fbcq, EntryField::efbcq},     {Column::tmzzdw, EntryField::etmzzdw}, {Column::zzrq, EntryField::ezzrq},
    {Column::bz, EntryField::ebz},         {Column::swzh, EntryField::eswzh},   {Column::ybyj, EntryField::eybyj},
    {Column::fgldpx, EntryField::eqzpx},   {Column::zyldpx, EntryField::ezgpx}, {Column::bljg, EntryField::ebljg},
    {Column::cdh, EntryField::ecdh},       {Column::ybj, EntryField::eybj},     {Column::lrr, EntryField::elrr},
    {Column::ycp, EntryField::eycp},       {Column::cpr, EntryField::ecpr},     {Column::bwh, EntryField::ebwh},
};

constexpr std::size_t kLevelBytes = 4;
constexpr std::size_t kCompactDateLength = 8;
constexpr std::size_t kClassificationBytes = 8;

// Every line ends with CR LF, whatever the control gave.
std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

// The characters of `text` that fit in the byte range [from, to) of its code
// page 936 form; a character is never cut.
std::string CodePageSlice(const std::string& text, std::size_t from, std::size_t to)
{
    std::string out;
    std::size_t bytes = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t next = pos + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
        const std::string character = text.substr(pos, next - pos);
        const std::size_t width = Utf8ToGb18030(character).size();
        if (bytes >= from && bytes + width <= to) out += character;
        bytes += width;
        if (bytes >= to) break;
        pos = next;
    }
    return out;
}

bool ParseNumber(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 4) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

std::optional<CivilDate> ReadDashedDate(const std::string& text)
{
    const std::size_t first = text.find('-');
    const std::size_t second = text.find('-', first + 1);
    if (second == std::string::npos) return std::nullopt;
    CivilDate date;
    if (!ParseNumber(text.substr(0, first), date.year) ||
        !ParseNumber(text.substr(first + 1, second - first - 1), date.month) ||
        !ParseNumber(text.substr(second + 1), date.day) || !CivilDate::IsValid(date.year, date.month, date.day)) {
        return std::nullopt;
    }
    return date;
}

std::string RowText(const RecordRow& row, Column column)
{
    return std::string(row.at(column));
}

const struct {
    Column column;
    EntryField field;
} kDateColumns[] = {{Column::swrq, EntryField::eswrq}, {Column::fwrq, EntryField::efwrq}};

std::string StoredDate(const EntryDialog& dialog, EntryField field)
{
    return dialog.HasDate(field) ? dialog.Date(field).ToCompact() : "";
}

std::optional<CivilDate> ReadIssueDate(const std::string& text)
{
    if (text.size() != kCompactDateLength) return std::nullopt;
    return ParseCompactDate(text);
}

}  // namespace

RecordFields PrepareRecordFields(const EntryDialog& dialog)
{
    RecordFields fields{};
    const auto set = [&](Column column, std::string value) { fields[static_cast<int>(column)] = std::move(value); };
    for (const auto& entry : kTextColumns) set(entry.column, WithCrLf(dialog.Text(entry.field)));
    for (const auto& date : kDateColumns) set(date.column, StoredDate(dialog, date.field));
    set(Column::wh, ApplyBracketRule(dialog.Text(EntryField::ewh)));
    set(Column::mmdj, dialog.Text(EntryField::emmdj1) + dialog.Text(EntryField::emmdj2));
    return fields;
}

std::pair<std::string, std::string> SplitClassification(const std::string& mmdj)
{
    return {CodePageSlice(mmdj, 0, kLevelBytes), CodePageSlice(mmdj, kLevelBytes, kClassificationBytes)};
}

std::optional<CivilDate> ReadReceivedDate(const std::string& text)
{
    if (text.find('-') != std::string::npos) return ReadDashedDate(text);
    return ParseCompactDate(text);
}

void FillFromRow(const RecordRow& row, EntryDialog& dialog, Prompter& prompter)
{
    if (const std::optional<CivilDate> received = ReadReceivedDate(RowText(row, Column::swrq))) {
        dialog.SetDate(EntryField::eswrq, *received);
    } else {
        prompter.Show(kBadDateMessage, kApplicationTitle, PromptIcon::None, PromptButtons::Ok);
        dialog.ClearDate(EntryField::eswrq);
    }
    for (const auto& entry : kTextColumns) dialog.SetText(entry.field, RowText(row, entry.column));
    dialog.SetText(EntryField::ewh, RowText(row, Column::wh));
    const auto [level, period] = SplitClassification(RowText(row, Column::mmdj));
    dialog.SetText(EntryField::emmdj1, level);
    dialog.SetText(EntryField::emmdj2, period);
    if (const std::optional<CivilDate> issued = ReadIssueDate(RowText(row, Column::fwrq))) {
        dialog.SetDate(EntryField::efwrq, *issued);
    } else {
        dialog.ClearDate(EntryField::efwrq);
    }
}

RecordFields PrepareEditedFields(const EntryDialog& dialog, const RecordRow& stored)
{
    RecordFields fields = PrepareRecordFields(dialog);
    for (const auto& date : kDateColumns) {
        if (!dialog.HasDate(date.field)) fields[static_cast<int>(date.column)] = RowText(stored, date.column);
    }
    return fields;
}

std::vector<ChangedValue> ChangedValues(const RecordRow& row, const RecordFields& fields)
{
    std::vector<ChangedValue> changed;
    for (Column column : kWrittenColumns) {
        const std::string& after = fields[static_cast<int>(column)];
        if (row.at(column) != after) changed.push_back({column, std::string(row.at(column)), after});
    }
    return changed;
}

void WriteBackRow(const EntryDialog& dialog, RecordRow& row)
{
    const RecordFields fields = PrepareEditedFields(dialog, row);
    for (Column column : kWrittenColumns) {
        const std::string& value = fields[static_cast<int>(column)];
        row.Set(column, value);
    }
}

}  // namespace quorva

#include "register/store/sqlite_table.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <limits>

#include "register/store/sqlite_exception.h"

namespace {

std::string AsciiUpper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// Declared types are compared exactly, as the register has always done: a
// "VARCHAR (255)" or "text" column is text.
ColumnKind KindFromDeclaredType(const char* declared, int valueType)
{
    if (declared == nullptr) return static_cast<ColumnKind>(valueType);
    const std::string type = declared;
    if (type == "INTEGER" || type == "BOOLEAN") return ColumnKind::Integer;
    if (type == "NUMERIC" || type == "FLOAT" || type == "DOUBLE" || type == "REAL") return ColumnKind::Float;
    if (type == "BLOB") return ColumnKind::Blob;
    return ColumnKind::Text;
}

// Truncation toward zero that stays defined for values no 64-bit integer holds.
std::int64_t TruncateToInt64(double value)
{
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (std::isnan(value)) return 0;
    if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (value < -kLimit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::string FormatGeneral(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

}  // namespace

void TSQLiteTable::TakeColumns(sqlite3_stmt* statement)
{
    const int count = sqlite3_column_count(statement);
    std::vector<std::string> names;
    std::vector<ColumnKind> kinds;
    for (int c = 0; c < count; ++c) {
        const char* name = sqlite3_column_name(statement, c);
        names.push_back(AsciiUpper(name ? name : ""));
        kinds.push_back(KindFromDeclaredType(sqlite3_column_decltype(statement, c), sqlite3_column_type(statement, c)));
    }
    SetColumns(std::move(names), std::move(kinds));
}

void TSQLiteTable::SetColumns(std::vector<std::string> upperNames, std::vector<ColumnKind> kinds)
{
    columnCount_ = static_cast<int>(upperNames.size());
    columnNames_ = std::move(upperNames);
    columnKinds_ = std::move(kinds);
    pieces_.assign(static_cast<std::size_t>(columnCount_), Piece{nullptr, 0, true, {}});
}

namespace {

// A row's record starts with its form. Most rows are short texts: one byte
// per value gives its length, kNullLength marking NULL. A row with a longer
// value has a bit per column set for NULL and the end of each value in two
// bytes, or four when the row is long. The values follow back to back.
enum RecordForm : char { kLengthBytes = 0, kShortEnds = 1, kLongEnds = 2 };
constexpr std::size_t kNullLength = 0xFF;
constexpr std::size_t kShortEndLimit = 0xFFFF;
constexpr std::size_t kFirstBlock = std::size_t{64} << 10;
constexpr std::size_t kLargestBlock = std::size_t{1} << 20;

std::size_t BitmapBytes(int columns)
{
    return static_cast<std::size_t>(columns + 7) / 8;
}

std::uint32_t ReadEnd(const char* ends, RecordForm form, int column)
{
    if (form == kLongEnds) {
        std::uint32_t end;
        std::memcpy(&end, ends + 4 * column, 4);
        return end;
    }
    std::uint16_t end;
    std::memcpy(&end, ends + 2 * column, 2);
    return end;
}

std::size_t EndBytes(RecordForm form)
{
    return form == kLongEnds ? 4 : 2;
}

}  // namespace

char* TSQLiteTable::Allocate(std::size_t size)
{
    if (size > blockLeft_) {
        // Blocks grow with the result, so a small query takes little, and
        // they never move, so the rows keep plain pointers into them.
        const std::size_t blockSize = std::max(size, std::min(kLargestBlock, std::max(kFirstBlock, reserved_)));
        blocks_.emplace_back(blockSize);
        blockCursor_ = blocks_.back().data();
        blockLeft_ = blockSize;
        reserved_ += blockSize;
    }
    char* place = blockCursor_;
    blockCursor_ += size;
    blockLeft_ -= size;
    return place;
}

void TSQLiteTable::TakeValue(sqlite3_value* value, ColumnKind kind, Piece& piece) const
{
    piece = Piece{nullptr, 0, false, {}};
    if (sqlite3_value_type(value) == SQLITE_NULL) {
        piece.absent = true;
        return;
    }
    switch (kind) {
    case ColumnKind::Integer: {
        const std::int64_t integer = sqlite3_value_int64(value);
        std::memcpy(piece.number, &integer, sizeof integer);
        piece.data = piece.number;
        piece.length = sizeof integer;
        return;
    }
    case ColumnKind::Float: {
        const double real = sqlite3_value_double(value);
        std::memcpy(piece.number, &real, sizeof real);
        piece.data = piece.number;
        piece.length = sizeof real;
        return;
    }
    case ColumnKind::Blob:
        piece.data = sqlite3_value_blob(value);
        piece.length = static_cast<std::size_t>(sqlite3_value_bytes(value));
        // A blob of no bytes is no stream at all.
        piece.absent = piece.length == 0;
        return;
    default: {
        // Text ends at its first zero byte.
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        const auto size = static_cast<std::size_t>(sqlite3_value_bytes(value));
        if (text == nullptr) return;
        const void* zero = std::memchr(text, 0, size);
        piece.data = text;
        piece.length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : size;
        return;
    }
    }
}

void TSQLiteTable::AppendRow(sqlite3_stmt* statement)
{
    if (rows_.empty()) TakeColumns(statement);
    // One call per value; the value functions answer the rest.
    for (int c = 0; c < columnCount_; ++c) TakeValue(sqlite3_column_value(statement, c), columnKinds_[c], pieces_[c]);
    StorePieces();
}

void TSQLiteTable::StorePieces()
{
    std::size_t payload = 0;
    std::size_t longest = 0;
    for (const Piece& piece : pieces_) {
        payload += piece.length;
        longest = std::max(longest, piece.length);
    }
    if (payload > std::numeric_limits<std::uint32_t>::max()) throw ESQLiteException("Value too large for a result");
    const RecordForm form = longest < kNullLength ? kLengthBytes : payload <= kShortEndLimit ? kShortEnds : kLongEnds;
    const std::size_t columns = static_cast<std::size_t>(columnCount_);
    const std::size_t header = form == kLengthBytes ? columns : BitmapBytes(columnCount_) + columns * EndBytes(form);
    char* record = Allocate(1 + header + payload);
    record[0] = form;
    char* values = record + 1 + header;
    for (const Piece& piece : pieces_) {
        if (piece.length > 0) std::memcpy(values, piece.data, piece.length);
        values += piece.length;
    }
    if (form == kLengthBytes) {
        for (std::size_t c = 0; c < columns; ++c) {
            record[1 + c] = static_cast<char>(pieces_[c].absent ? kNullLength : pieces_[c].length);
        }
    } else {
        WriteEnds(form, record + 1);
    }
    rows_.push_back(record);
}

void TSQLiteTable::WriteEnds(char form, char* header) const
{
    char* bitmap = header;
    char* ends = bitmap + BitmapBytes(columnCount_);
    std::memset(bitmap, 0, BitmapBytes(columnCount_));
    std::uint32_t end = 0;
    for (int c = 0; c < columnCount_; ++c) {
        const Piece& piece = pieces_[c];
        if (piece.absent) bitmap[c / 8] = static_cast<char>(bitmap[c / 8] | (1 << (c % 8)));
        end += static_cast<std::uint32_t>(piece.length);
        if (form == kLongEnds) {
            std::memcpy(ends + 4 * c, &end, 4);
        } else {
            const auto shortEnd = static_cast<std::uint16_t>(end);
            std::memcpy(ends + 2 * c, &shortEnd, 2);
        }
    }
}

TSQLiteTable::Cell TSQLiteTable::CellOf(int row, int column) const
{
    const char* record = rows_[static_cast<std::size_t>(row)];
    const auto form = static_cast<RecordForm>(record[0]);
    const std::size_t columns = static_cast<std::size_t>(columnCount_);
    if (form == kLengthBytes) {
        const auto* lengths = reinterpret_cast<const unsigned char*>(record + 1);
        const char* values = record + 1 + columns;
        std::size_t begin = 0;
        for (int c = 0; c < column; ++c) begin += lengths[c] == kNullLength ? 0 : lengths[c];
        const bool absent = lengths[column] == kNullLength;
        return Cell{values + begin, absent ? 0u : lengths[column], absent};
    }
    const char* bitmap = record + 1;
    const char* ends = bitmap + BitmapBytes(columnCount_);
    const char* values = ends + columns * EndBytes(form);
    const std::uint32_t begin = column == 0 ? 0 : ReadEnd(ends, form, column - 1);
    const std::uint32_t end = ReadEnd(ends, form, column);
    const bool absent = (bitmap[column / 8] >> (column % 8)) & 1;
    return Cell{values + begin, end - begin, absent};
}

std::int64_t TSQLiteTable::IntegerOf(const Cell& cell) const
{
    std::int64_t value;
    std::memcpy(&value, cell.data, sizeof value);
    return value;
}

double TSQLiteTable::FloatOf(const Cell& cell) const
{
    double value;
    std::memcpy(&value, cell.data, sizeof value);
    return value;
}

bool TSQLiteTable::MoveNext()
{
    if (AtEnd()) return false;
    ++cursor_;
    return true;
}

int TSQLiteTable::ColumnIndex(const std::string& name) const
{
    if (columnNames_.empty()) throw ESQLiteException("Field " + name + " Not found. Empty dataset");
    const std::string wanted = AsciiUpper(name);
    for (int c = 0; c < columnCount_; ++c) {
        if (columnNames_[c] == wanted) return c;
    }
    throw ESQLiteException("Field not found in dataset: " + name);
}

ColumnKind TSQLiteTable::KindAt(int column) const
{
    if (column < 0 || column >= columnCount_) throw ESQLiteException("Column index out of range");
    return columnKinds_[column];
}

TSQLiteTable::Cell TSQLiteTable::CurrentCell(int column) const
{
    if (AtEnd()) throw ESQLiteException("Table is at End of File");
    if (column < 0 || column >= columnCount_) throw ESQLiteException("Column index out of range");
    return CellOf(cursor_, column);
}

std::string TSQLiteTable::TextAt(int column) const
{
    std::string text;
    AppendTextAt(column, text);
    return text;
}

void TSQLiteTable::AppendTextAt(int column, std::string& out) const
{
    AppendText(CurrentCell(column), column, out);
}

void TSQLiteTable::AppendTextOf(int row, int column, std::string& out) const
{
    if (row < 0 || row >= CountRows()) throw ESQLiteException("Table is at End of File");
    if (column < 0 || column >= columnCount_) throw ESQLiteException("Column index out of range");
    AppendText(CellOf(row, column), column, out);
}

void TSQLiteTable::AppendText(const Cell& cell, int column, std::string& out) const
{
    if (cell.absent) return;
    switch (columnKinds_[column]) {
    case ColumnKind::Integer: out += std::to_string(IntegerOf(cell)); return;
    case ColumnKind::Float: out += FormatGeneral(FloatOf(cell)); return;
    default:
        // Blobs give all their bytes; an expression column whose first value
        // was NULL still holds the texts of the later rows, and they are
        // shown, not hidden.
        out.append(cell.data, cell.length);
        return;
    }
}

std::int64_t TSQLiteTable::Int64At(int column) const
{
    return Int64Of(CurrentCell(column), column);
}

std::int64_t TSQLiteTable::Int64Of(int row, int column) const
{
    if (row < 0 || row >= CountRows()) throw ESQLiteException("Table is at End of File");
    if (column < 0 || column >= columnCount_) throw ESQLiteException("Column index out of range");
    return Int64Of(CellOf(row, column), column);
}

bool TSQLiteTable::IsNullOf(int row, int column) const
{
    if (row < 0 || row >= CountRows()) throw ESQLiteException("Table is at End of File");
    if (column < 0 || column >= columnCount_) throw ESQLiteException("Column index out of range");
    return CellOf(row, column).absent;
}

std::int64_t TSQLiteTable::Int64Of(const Cell& cell, int column) const
{
    if (cell.absent) return 0;
    switch (columnKinds_[column]) {
    case ColumnKind::Integer: return IntegerOf(cell);
    case ColumnKind::Float: return TruncateToInt64(FloatOf(cell));
    default: throw ESQLiteException("Not an integer or numeric field");
    }
}

double TSQLiteTable::FloatAt(int column) const
{
    const Cell cell = CurrentCell(column);
    if (cell.absent) return 0.0;
    switch (columnKinds_[column]) {
    case ColumnKind::Integer: return static_cast<double>(IntegerOf(cell));
    case ColumnKind::Float: return FloatOf(cell);
    default: throw ESQLiteException("Not an integer or numeric field");
    }
}

std::optional<TBlobStream> TSQLiteTable::BlobAt(int column) const
{
    const Cell cell = CurrentCell(column);
    if (cell.absent) return std::nullopt;
    if (columnKinds_[column] != ColumnKind::Blob) throw ESQLiteException("Not a Blob field");
    return TBlobStream{reinterpret_cast<const std::uint8_t*>(cell.data), cell.length};
}

std::string TSQLiteTable::BlobTextAt(int column) const
{
    const std::optional<TBlobStream> stream = BlobAt(column);
    if (!stream || stream->size == 0) return std::string();
    return std::string(reinterpret_cast<const char*>(stream->data), stream->size);
}

TTableBuilder::TTableBuilder(const std::vector<std::string>& columnNames, std::vector<ColumnKind> kinds)
    : table_(new TSQLiteTable())
{
    std::vector<std::string> upper;
    upper.reserve(columnNames.size());
    for (const std::string& name : columnNames) upper.push_back(AsciiUpper(name));
    table_->SetColumns(std::move(upper), std::move(kinds));
}

void TTableBuilder::SetNull(int column)
{
    table_->pieces_.at(static_cast<std::size_t>(column)) = TSQLiteTable::Piece{nullptr, 0, true, {}};
}

void TTableBuilder::SetInteger(int column, std::int64_t value)
{
    TSQLiteTable::Piece& piece = table_->pieces_.at(static_cast<std::size_t>(column));
    piece = TSQLiteTable::Piece{nullptr, sizeof value, false, {}};
    std::memcpy(piece.number, &value, sizeof value);
    piece.data = piece.number;
}

void TTableBuilder::SetFloat(int column, double value)
{
    TSQLiteTable::Piece& piece = table_->pieces_.at(static_cast<std::size_t>(column));
    piece = TSQLiteTable::Piece{nullptr, sizeof value, false, {}};
    std::memcpy(piece.number, &value, sizeof value);
    piece.data = piece.number;
}

void TTableBuilder::SetText(int column, const char* data, std::size_t length)
{
    table_->pieces_.at(static_cast<std::size_t>(column)) = TSQLiteTable::Piece{data, length, false, {}};
}

void TTableBuilder::EndRow()
{
    table_->StorePieces();
    for (TSQLiteTable::Piece& piece : table_->pieces_) piece = TSQLiteTable::Piece{nullptr, 0, true, {}};
}

std::unique_ptr<TSQLiteTable> TTableBuilder::Finish()
{
    // Like a query that found nothing, an empty result has no column names.
    if (table_->rows_.empty()) table_->SetColumns({}, {});
    table_->cursor_ = 0;
    return std::move(table_);
}

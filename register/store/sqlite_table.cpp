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
    columnCount_ = sqlite3_column_count(statement);
    columnNames_.reserve(columnCount_);
    columnKinds_.reserve(columnCount_);
    for (int c = 0; c < columnCount_; ++c) {
        const char* name = sqlite3_column_name(statement, c);
        columnNames_.push_back(AsciiUpper(name ? name : ""));
        columnKinds_.push_back(
            KindFromDeclaredType(sqlite3_column_decltype(statement, c), sqlite3_column_type(statement, c)));
    }
}

void TSQLiteTable::AppendBytes(const void* data, std::size_t size)
{
    constexpr std::size_t kLengthLimit = std::numeric_limits<std::uint32_t>::max();
    if (size > kLengthLimit) throw ESQLiteException("Value too large for a result");
    if (size > chunkLeft_) {
        // Chunks never move, so cells keep plain pointers into them.
        const std::size_t chunkSize = std::max(size, kChunkSize);
        chunks_.push_back(std::make_unique<char[]>(chunkSize));
        chunkCursor_ = chunks_.back().get();
        chunkLeft_ = chunkSize;
    }
    if (size > 0) std::memcpy(chunkCursor_, data, size);
    cells_.push_back(Cell{reinterpret_cast<std::uintptr_t>(chunkCursor_), static_cast<std::uint32_t>(size),
                          CellTag::Bytes});
    chunkCursor_ += size;
    chunkLeft_ -= size;
}

void TSQLiteTable::AppendRow(sqlite3_stmt* statement)
{
    if (rowCount_ == 0) TakeColumns(statement);
    for (int c = 0; c < columnCount_; ++c) {
        // The value functions take no connection lock, unlike one
        // sqlite3_column_* call per question; that lock was a tenth of
        // reading the register.
        sqlite3_value* value = sqlite3_column_value(statement, c);
        if (sqlite3_value_type(value) == SQLITE_NULL) {
            cells_.push_back(Cell{0, 0, CellTag::Absent});
            continue;
        }
        switch (columnKinds_[c]) {
        case ColumnKind::Integer:
            cells_.push_back(Cell{static_cast<std::uint64_t>(sqlite3_value_int64(value)), 0, CellTag::Integer});
            break;
        case ColumnKind::Float: {
            const double real = sqlite3_value_double(value);
            std::uint64_t bits;
            std::memcpy(&bits, &real, sizeof bits);
            cells_.push_back(Cell{bits, 0, CellTag::Float});
            break;
        }
        case ColumnKind::Blob: {
            const void* bytes = sqlite3_value_blob(value);
            const int size = sqlite3_value_bytes(value);
            if (size > 0) {
                AppendBytes(bytes, static_cast<std::size_t>(size));
            } else {
                cells_.push_back(Cell{0, 0, CellTag::Absent});
            }
            break;
        }
        default: {
            // Text ends at its first zero byte.
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            const auto size = static_cast<std::size_t>(sqlite3_value_bytes(value));
            if (text == nullptr) {
                AppendBytes("", 0);
                break;
            }
            const void* zero = std::memchr(text, 0, size);
            AppendBytes(text, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : size);
            break;
        }
        }
    }
    ++rowCount_;
}

std::int64_t TSQLiteTable::IntegerOf(const Cell& cell) const
{
    return static_cast<std::int64_t>(cell.value);
}

double TSQLiteTable::FloatOf(const Cell& cell) const
{
    double value;
    std::memcpy(&value, &cell.value, sizeof value);
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

const TSQLiteTable::Cell& TSQLiteTable::CurrentCell(int column) const
{
    if (AtEnd()) throw ESQLiteException("Table is at End of File");
    if (column < 0 || column >= columnCount_) throw ESQLiteException("Column index out of range");
    return cells_[static_cast<std::size_t>(cursor_) * columnCount_ + column];
}

std::string TSQLiteTable::TextAt(int column) const
{
    std::string text;
    AppendTextAt(column, text);
    return text;
}

void TSQLiteTable::AppendTextAt(int column, std::string& out) const
{
    const Cell& cell = CurrentCell(column);
    if (cell.tag == CellTag::Absent) return;
    switch (columnKinds_[column]) {
    case ColumnKind::Integer: out += std::to_string(IntegerOf(cell)); return;
    case ColumnKind::Float: out += FormatGeneral(FloatOf(cell)); return;
    default:
        // Blobs give all their bytes; an expression column whose first value
        // was NULL still holds the texts of the later rows, and they are
        // shown, not hidden.
        out.append(BytesOf(cell), cell.length);
        return;
    }
}

std::int64_t TSQLiteTable::Int64At(int column) const
{
    const Cell& cell = CurrentCell(column);
    if (cell.tag == CellTag::Absent) return 0;
    switch (columnKinds_[column]) {
    case ColumnKind::Integer: return IntegerOf(cell);
    case ColumnKind::Float: return TruncateToInt64(FloatOf(cell));
    default: throw ESQLiteException("Not an integer or numeric field");
    }
}

double TSQLiteTable::FloatAt(int column) const
{
    const Cell& cell = CurrentCell(column);
    if (cell.tag == CellTag::Absent) return 0.0;
    switch (columnKinds_[column]) {
    case ColumnKind::Integer: return static_cast<double>(IntegerOf(cell));
    case ColumnKind::Float: return FloatOf(cell);
    default: throw ESQLiteException("Not an integer or numeric field");
    }
}

std::optional<TBlobStream> TSQLiteTable::BlobAt(int column) const
{
    const Cell& cell = CurrentCell(column);
    if (cell.tag == CellTag::Absent) return std::nullopt;
    if (columnKinds_[column] != ColumnKind::Blob) throw ESQLiteException("Not a Blob field");
    return TBlobStream{reinterpret_cast<const std::uint8_t*>(BytesOf(cell)), cell.length};
}

std::string TSQLiteTable::BlobTextAt(int column) const
{
    const std::optional<TBlobStream> stream = BlobAt(column);
    if (!stream || stream->size == 0) return std::string();
    return std::string(reinterpret_cast<const char*>(stream->data), stream->size);
}

#include "register/store/sqlite_table.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstring>
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

void TSQLiteTable::AppendRow(sqlite3_stmt* statement)
{
    if (rowCount_ == 0) TakeColumns(statement);
    for (int c = 0; c < columnCount_; ++c) {
        if (sqlite3_column_type(statement, c) == SQLITE_NULL) {
            cells_.emplace_back();
            continue;
        }
        switch (columnKinds_[c]) {
        case ColumnKind::Integer:
            cells_.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(statement, c)));
            break;
        case ColumnKind::Float:
            cells_.emplace_back(sqlite3_column_double(statement, c));
            break;
        case ColumnKind::Blob: {
            const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, c));
            const int size = sqlite3_column_bytes(statement, c);
            if (size > 0) {
                cells_.emplace_back(TBlobStream(bytes, bytes + size));
            } else {
                cells_.emplace_back();
            }
            break;
        }
        default: {
            // Text ends at its first zero byte.
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            cells_.emplace_back(std::string(text ? text : ""));
            break;
        }
        }
    }
    ++rowCount_;
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
    const Cell& cell = CurrentCell(column);
    if (std::holds_alternative<std::monostate>(cell)) return std::string();
    switch (columnKinds_[column]) {
    case ColumnKind::Integer: return std::to_string(std::get<std::int64_t>(cell));
    case ColumnKind::Float: return FormatGeneral(std::get<double>(cell));
    case ColumnKind::Blob: return BlobTextAt(column);
    default:
        // An expression column whose first value was NULL still holds the
        // texts of the later rows; they are shown, not hidden.
        return std::get<std::string>(cell);
    }
}

std::int64_t TSQLiteTable::Int64At(int column) const
{
    const Cell& cell = CurrentCell(column);
    if (std::holds_alternative<std::monostate>(cell)) return 0;
    switch (columnKinds_[column]) {
    case ColumnKind::Integer: return std::get<std::int64_t>(cell);
    case ColumnKind::Float: return TruncateToInt64(std::get<double>(cell));
    default: throw ESQLiteException("Not an integer or numeric field");
    }
}

double TSQLiteTable::FloatAt(int column) const
{
    const Cell& cell = CurrentCell(column);
    if (std::holds_alternative<std::monostate>(cell)) return 0.0;
    switch (columnKinds_[column]) {
    case ColumnKind::Integer: return static_cast<double>(std::get<std::int64_t>(cell));
    case ColumnKind::Float: return std::get<double>(cell);
    default: throw ESQLiteException("Not an integer or numeric field");
    }
}

const TBlobStream* TSQLiteTable::BlobAt(int column) const
{
    const Cell& cell = CurrentCell(column);
    if (std::holds_alternative<std::monostate>(cell)) return nullptr;
    if (columnKinds_[column] != ColumnKind::Blob) throw ESQLiteException("Not a Blob field");
    return &std::get<TBlobStream>(cell);
}

std::string TSQLiteTable::BlobTextAt(int column) const
{
    const TBlobStream* stream = BlobAt(column);
    if (stream == nullptr || stream->empty()) return std::string();
    return std::string(stream->begin(), stream->end());
}

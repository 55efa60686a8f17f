#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

struct sqlite3_stmt;

// SQLite's own numbering of its fundamental types.
enum class ColumnKind : int { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };

using TBlobStream = std::vector<std::uint8_t>;

// A query result read completely into memory, with a cursor. It keeps no
// reference to the connection or the statement it came from.
class TSQLiteTable {
public:
    TSQLiteTable(const TSQLiteTable&) = delete;
    TSQLiteTable& operator=(const TSQLiteTable&) = delete;

    int CountRows() const { return rowCount_; }
    int CountColumns() const { return columnCount_; }
    bool AtEnd() const { return cursor_ >= rowCount_; }
    bool MoveNext();

    int ColumnIndex(const std::string& name) const;
    ColumnKind KindAt(int column) const;

    std::string TextAt(int column) const;
    std::int64_t Int64At(int column) const;
    double FloatAt(int column) const;
    const TBlobStream* BlobAt(int column) const;  // nullptr: no stream
    std::string BlobTextAt(int column) const;

private:
    friend class TSQLiteDatabase;
    // An absent cell is SQL NULL.
    using Cell = std::variant<std::monostate, std::int64_t, double, std::string, TBlobStream>;

    TSQLiteTable() = default;
    void TakeColumns(sqlite3_stmt* statement);
    void AppendRow(sqlite3_stmt* statement);
    const Cell& CurrentCell(int column) const;

    std::vector<Cell> cells_;
    int rowCount_ = 0;
    int columnCount_ = 0;
    std::vector<std::string> columnNames_;  // upper case
    std::vector<ColumnKind> columnKinds_;
    int cursor_ = 0;
};

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "register/store/page_block.h"

struct sqlite3_stmt;
struct sqlite3_value;

// SQLite's own numbering of its fundamental types.
enum class ColumnKind : int { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };

// A blob's bytes, owned by the table that returned it.
struct TBlobStream {
    const std::uint8_t* data;
    std::size_t size;
};

// A query result read completely into memory, with a cursor. It keeps no
// reference to the connection or the statement it came from. Each row is one
// record in shared blocks: where each value ends, which are NULL, and the
// values back to back, so a row costs little more than its texts and the
// rows can be read by number without moving the cursor (the record list
// shows its rows straight from here).
class TSQLiteTable {
public:
    TSQLiteTable(const TSQLiteTable&) = delete;
    TSQLiteTable& operator=(const TSQLiteTable&) = delete;

    int CountRows() const { return static_cast<int>(rows_.size()); }
    int CountColumns() const { return columnCount_; }
    bool AtEnd() const { return cursor_ >= CountRows(); }
    bool MoveNext();
    int Cursor() const { return cursor_; }

    int ColumnIndex(const std::string& name) const;
    ColumnKind KindAt(int column) const;

    std::string TextAt(int column) const;
    std::int64_t Int64At(int column) const;
    double FloatAt(int column) const;
    std::optional<TBlobStream> BlobAt(int column) const;  // nothing: no stream
    std::string BlobTextAt(int column) const;
    // Appends what TextAt returns, without making a string of its own.
    void AppendTextAt(int column, std::string& out) const;

    // The same readers for any row, the cursor left where it is.
    void AppendTextOf(int row, int column, std::string& out) const;
    std::int64_t Int64Of(int row, int column) const;
    bool IsNullOf(int row, int column) const;

private:
    friend class TSQLiteDatabase;
    friend class TTableBuilder;
    // One value of a row: absent (SQL NULL) or the bytes that hold it (an
    // integer's or a double's eight bytes, or the text or blob).
    struct Cell {
        const char* data;
        std::uint32_t length;
        bool absent;
    };
    struct Piece {
        const void* data;
        std::size_t length;
        bool absent;
        char number[8];
    };

    TSQLiteTable() = default;
    void TakeColumns(sqlite3_stmt* statement);
    void AppendRow(sqlite3_stmt* statement);
    void SetColumns(std::vector<std::string> upperNames, std::vector<ColumnKind> kinds);
    void StorePieces();
    void TakeValue(sqlite3_value* value, ColumnKind kind, Piece& piece) const;
    char* Allocate(std::size_t size);
    void WriteEnds(char form, char* header) const;
    Cell CellOf(int row, int column) const;
    Cell CurrentCell(int column) const;
    std::int64_t IntegerOf(const Cell& cell) const;
    double FloatOf(const Cell& cell) const;
    void AppendText(const Cell& cell, int column, std::string& out) const;
    std::int64_t Int64Of(const Cell& cell, int column) const;

    std::vector<const char*> rows_;  // each row's record
    std::vector<PageBlock> blocks_;
    char* blockCursor_ = nullptr;
    std::size_t blockLeft_ = 0;
    std::size_t reserved_ = 0;
    std::vector<Piece> pieces_;  // the row being read
    int columnCount_ = 0;
    std::vector<std::string> columnNames_;  // upper case
    std::vector<ColumnKind> columnKinds_;
    int cursor_ = 0;
};

// Builds a result from rows read elsewhere (another store's), kept in the
// same compact form, so the list and every reader treat both alike.
class TTableBuilder {
public:
    // Names are matched without regard to case, as in any result.
    TTableBuilder(const std::vector<std::string>& columnNames, std::vector<ColumnKind> kinds);

    // A row is its values in column order; a text is copied when the row
    // ends, so it need only live until then.
    void SetNull(int column);
    void SetInteger(int column, std::int64_t value);
    void SetFloat(int column, double value);
    void SetText(int column, const char* data, std::size_t length);
    void EndRow();

    std::unique_ptr<TSQLiteTable> Finish();

private:
    std::unique_ptr<TSQLiteTable> table_;
};

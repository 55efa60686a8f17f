#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3_stmt;

// SQLite's own numbering of its fundamental types.
enum class ColumnKind : int { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };

// A blob's bytes, owned by the table that returned it.
struct TBlobStream {
    const std::uint8_t* data;
    std::size_t size;
};

// A query result read completely into memory, with a cursor. It keeps no
// reference to the connection or the statement it came from. The texts and
// blobs of all cells share one buffer, so reading the whole register costs
// about what SQLite's own reading costs.
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
    std::optional<TBlobStream> BlobAt(int column) const;  // nothing: no stream
    std::string BlobTextAt(int column) const;
    // Appends what TextAt returns, without making a string of its own.
    void AppendTextAt(int column, std::string& out) const;

private:
    friend class TSQLiteDatabase;
    enum class CellTag : std::uint8_t { Absent, Integer, Float, Bytes };
    // An absent cell is SQL NULL. `value` holds the integer, the double's bits
    // or the address of the bytes in one of the chunks.
    struct Cell {
        std::uint64_t value;
        std::uint32_t length;
        CellTag tag;
    };

    TSQLiteTable() = default;
    void TakeColumns(sqlite3_stmt* statement);
    void AppendRow(sqlite3_stmt* statement);
    const Cell& CurrentCell(int column) const;
    void AppendBytes(const void* data, std::size_t size);
    std::int64_t IntegerOf(const Cell& cell) const;
    double FloatOf(const Cell& cell) const;
    static const char* BytesOf(const Cell& cell) { return reinterpret_cast<const char*>(cell.value); }

    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;
    std::vector<Cell> cells_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    char* chunkCursor_ = nullptr;
    std::size_t chunkLeft_ = 0;
    int rowCount_ = 0;
    int columnCount_ = 0;
    std::vector<std::string> columnNames_;  // upper case
    std::vector<ColumnKind> columnKinds_;
    int cursor_ = 0;
};

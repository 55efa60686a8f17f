#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "register/core/records/document_table.h"

class TSQLiteTable;

namespace quorva {

// A record as one row of the main window's list: the running number and 26
// texts (UTF-8), ID last. Edit, delete and export read these rows back rather
// than the database.
inline constexpr int kRecordRowItemCount = 26;
inline constexpr std::array<Column, kRecordRowItemCount> kRecordRowColumns = {
    Column::swrq, Column::swzh,   Column::lwdw, Column::wz,   Column::wh,     Column::mmdj, Column::jjcd,
    Column::wjbt, Column::ybyj,   Column::fgldpx, Column::zyldpx, Column::bwh, Column::ycp, Column::cpr,
    Column::fwrq, Column::zsdw,   Column::tmbh, Column::tmzzdw, Column::zzrq, Column::fbcq, Column::ybj,
    Column::cdh,  Column::lrr,    Column::bljg, Column::bz,   Column::ID,
};

// Position of a column among the row's items; -1 for zdyzd, which no row shows.
int RowPosition(Column column);

// The 26 texts live back to back in one buffer, so a row of the list costs
// one allocation, not 26.
class RecordRow {
public:
    RecordRow();

    std::string caption;

    std::string_view item(int position) const;
    std::string_view at(Column column) const;
    void SetItem(int position, std::string_view text);
    void Set(Column column, std::string_view text);

private:
    friend class RecordRowReader;
    std::string text_;
    std::array<std::uint32_t, kRecordRowItemCount> ends_{};
};

// The row's ID as a number; raises when its text is not a whole number, so no
// statement is ever built from it.
std::int64_t RecordIdOf(const RecordRow& row);

// Reads result rows of "SELECT * ..." on the table into record rows, taking
// the columns by name once for the whole result.
class RecordRowReader {
public:
    // The result must have at least one row (an empty one has no names).
    explicit RecordRowReader(const TSQLiteTable& result);
    // Reads the current row; the caption is left to the caller.
    void Read(const TSQLiteTable& result, RecordRow& row) const;
    // Reads row `resultRow` of the result, wherever the cursor is.
    void ReadAt(const TSQLiteTable& result, int resultRow, RecordRow& row) const;
    // Appends the text of one item of row `resultRow`.
    void AppendItem(const TSQLiteTable& result, int resultRow, int position, std::string& out) const;

private:
    std::array<int, kRecordRowItemCount> indices_{};
};

}  // namespace quorva

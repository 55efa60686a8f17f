#include "register/core/record_row.h"

#include <stdexcept>

#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

constexpr int kIdPosition = kRecordRowItemCount - 1;

}  // namespace

int RowPosition(Column column)
{
    for (int i = 0; i < kRecordRowItemCount; ++i) {
        if (kRecordRowColumns[i] == column) return i;
    }
    return -1;
}

const std::string& RecordRow::at(Column column) const
{
    const int position = RowPosition(column);
    if (position < 0) throw std::out_of_range("column not in the record row");
    return items[position];
}

std::string& RecordRow::at(Column column)
{
    return const_cast<std::string&>(static_cast<const RecordRow&>(*this).at(column));
}

RecordRowReader::RecordRowReader(const TSQLiteTable& result)
{
    for (int i = 0; i < kRecordRowItemCount; ++i) indices_[i] = result.ColumnIndex(ColumnName(kRecordRowColumns[i]));
}

void RecordRowReader::Read(const TSQLiteTable& result, RecordRow& row) const
{
    for (int i = 0; i < kIdPosition; ++i) row.items[i] = result.TextAt(indices_[i]);
    row.items[kIdPosition] = std::to_string(result.Int64At(indices_[kIdPosition]));
}

}  // namespace quorva

#include "register/core/records/record_row.h"

#include "register/core/shell/settings.h"

#include <stdexcept>

#include "register/store/sqlite_exception.h"
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

std::int64_t RecordIdOf(const RecordRow& row)
{
    const std::string text(row.at(Column::ID));
    long long id = 0;
    if (!ParseWholeNumber(text, id)) throw std::runtime_error("'" + text + "' is not a valid integer value");
    return id;
}

RecordRow::RecordRow() = default;

std::string_view RecordRow::item(int position) const
{
    if (position < 0 || position >= kRecordRowItemCount) throw std::out_of_range("no such item in the record row");
    const std::uint32_t begin = position == 0 ? 0 : ends_[position - 1];
    return std::string_view(text_).substr(begin, ends_[position] - begin);
}

std::string_view RecordRow::at(Column column) const
{
    const int position = RowPosition(column);
    if (position < 0) throw std::out_of_range("column not in the record row");
    return item(position);
}

void RecordRow::SetItem(int position, std::string_view text)
{
    if (position < 0 || position >= kRecordRowItemCount) throw std::out_of_range("no such item in the record row");
    const std::uint32_t begin = position == 0 ? 0 : ends_[position - 1];
    const std::uint32_t oldLength = ends_[position] - begin;
    text_.replace(begin, oldLength, text);
    const auto delta = static_cast<std::int64_t>(text.size()) - static_cast<std::int64_t>(oldLength);
    for (int i = position; i < kRecordRowItemCount; ++i) ends_[i] = static_cast<std::uint32_t>(ends_[i] + delta);
}

void RecordRow::Set(Column column, std::string_view text)
{
    const int position = RowPosition(column);
    if (position < 0) throw std::out_of_range("column not in the record row");
    SetItem(position, text);
}

RecordRowReader::RecordRowReader(const TSQLiteTable& result)
{
    for (int i = 0; i < kRecordRowItemCount; ++i) indices_[i] = result.ColumnIndex(ColumnName(kRecordRowColumns[i]));
}

void RecordRowReader::Read(const TSQLiteTable& result, RecordRow& row) const
{
    if (result.AtEnd()) throw ESQLiteException("Table is at End of File");
    ReadAt(result, result.Cursor(), row);
}

void RecordRowReader::ReadAt(const TSQLiteTable& result, int resultRow, RecordRow& row) const
{
    row.text_.clear();
    for (int i = 0; i < kRecordRowItemCount; ++i) {
        AppendItem(result, resultRow, i, row.text_);
        row.ends_[i] = static_cast<std::uint32_t>(row.text_.size());
    }
}

void RecordRowReader::AppendItem(const TSQLiteTable& result, int resultRow, int position, std::string& out) const
{
    if (position < 0 || position >= kRecordRowItemCount) throw std::out_of_range("no such item in the record row");
    if (position == kIdPosition) {
        out += std::to_string(result.Int64Of(resultRow, indices_[kIdPosition]));
    } else {
        result.AppendTextOf(resultRow, indices_[position], out);
    }
}

}  // namespace quorva

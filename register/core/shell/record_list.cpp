#include "register/core/shell/record_list.h"

#include <stdexcept>

#include "register/store/sqlite_table.h"

namespace quorva {

void RecordList::Reset(std::shared_ptr<const TSQLiteTable> result)
{
    resultRows_.clear();
    resultRows_.shrink_to_fit();
    edited_.clear();
    reader_.reset();
    result_ = std::move(result);
    if (!result_ || result_->CountRows() == 0) return;
    // An empty result has no column names to look up.
    reader_ = std::make_unique<RecordRowReader>(*result_);
    resultRows_.reserve(static_cast<std::size_t>(result_->CountRows()));
}

RecordRow RecordList::operator[](std::size_t index) const
{
    if (index >= size()) throw std::out_of_range("no such row in the list");
    const auto edited = edited_.find(index);
    RecordRow row = edited != edited_.end() ? edited->second : RecordRow();
    if (edited == edited_.end()) reader_->ReadAt(*result_, static_cast<int>(resultRows_[index]), row);
    row.caption = std::to_string(index + 1);
    return row;
}

void RecordList::AppendCell(std::size_t index, int cell, std::string& out) const
{
    if (index >= size() || cell < 0 || cell >= kCellCount) throw std::out_of_range("no such cell in the list");
    if (cell == 0) {
        // The running number counts the rows shown, not the records.
        out += std::to_string(index + 1);
        return;
    }
    AppendItem(index, cell - 1, out);
}

void RecordList::AppendItem(std::size_t index, int position, std::string& out) const
{
    const auto edited = edited_.find(index);
    if (edited != edited_.end()) {
        out += edited->second.item(position);
        return;
    }
    reader_->AppendItem(*result_, static_cast<int>(resultRows_[index]), position, out);
}

void RecordList::Replace(std::size_t index, RecordRow row)
{
    if (index >= size()) throw std::out_of_range("no such row in the list");
    edited_[index] = std::move(row);
}

}  // namespace quorva

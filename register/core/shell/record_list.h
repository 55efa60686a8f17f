#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "register/core/records/record_row.h"

class TSQLiteTable;

namespace quorva {

// The rows of the main window's list. They keep their texts where the query
// result holds them; a row becomes a RecordRow of its own only when someone
// reads it, and a row edited in place keeps its new texts beside the result.
class RecordList {
public:
    // The cells of a list row: the running number, then the row's 26 items.
    static constexpr int kCellCount = kRecordRowItemCount + 1;

    std::size_t size() const { return resultRows_.size(); }
    bool empty() const { return resultRows_.empty(); }
    // The row as shown, as texts: running number and items.
    RecordRow operator[](std::size_t index) const;
    // Appends the text of one cell (0 the running number, 1 to 26 the items).
    void AppendCell(std::size_t index, int cell, std::string& out) const;
    // The row's texts after an edit in place.
    void Replace(std::size_t index, RecordRow row);

    // Empties the list and makes `result` the source of the rows added next.
    void Reset(std::shared_ptr<const TSQLiteTable> result);
    // Shows the result's row `resultRow` as the next row of the list.
    void Add(int resultRow) { resultRows_.push_back(static_cast<std::uint32_t>(resultRow)); }

private:
    void AppendItem(std::size_t index, int position, std::string& out) const;

    std::shared_ptr<const TSQLiteTable> result_;
    std::unique_ptr<RecordRowReader> reader_;
    std::vector<std::uint32_t> resultRows_;
    std::unordered_map<std::size_t, RecordRow> edited_;
};

}  // namespace quorva

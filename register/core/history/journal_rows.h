#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "register/core/automation/sheet_table.h"

class TSQLiteTable;

namespace quorva {

// How a read of the history or the bin is shown: the captions of the
// result's columns, in order, and the column that holds a record column's
// name, shown as that column's caption.
struct JournalLayout {
    std::vector<const char*> captions;
    int fieldColumn;
    const char* sheetTitle;
};
const JournalLayout& HistoryLayout();
const JournalLayout& BinLayout();

// The rows of such a read, as the windows draw them and the export writes
// them; they stay in the result, read cell by cell.
class JournalRows {
public:
    JournalRows() = default;
    JournalRows(const JournalLayout& layout, std::shared_ptr<const TSQLiteTable> table);

    std::size_t size() const;
    const JournalLayout& layout() const { return *layout_; }
    std::string Cell(std::size_t row, int column) const;
    // A bin row's entry: the result's column after the shown ones.
    std::int64_t EntryOf(std::size_t row) const;

    // The rows as the export writes them, under the layout's title.
    SheetTable Sheet() const;

private:
    const JournalLayout* layout_ = &HistoryLayout();
    std::shared_ptr<const TSQLiteTable> table_;
};

// A record column's caption in the list ("wjbt" is 文件标题); an unknown
// name stays as it is.
std::string ColumnCaption(const std::string& columnName);

}  // namespace quorva

#include "register/core/history/journal_rows.h"

#include "register/core/automation/list_export.h"
#include "register/core/records/record_row.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

constexpr int kNoFieldColumn = -1;
// zdm among the history's columns as read.
constexpr int kHistoryFieldColumn = 6;
// The list's captions start with its running number.
constexpr int kFirstItemCaption = 1;

}  // namespace

const JournalLayout& HistoryLayout()
{
    static const JournalLayout layout{
        {"时间", "操作人", "计算机", "操作", "记录ID", "收文号", "字段", "原值", "新值", "说明"},
        kHistoryFieldColumn,
        "Marivel操作日志"};
    return layout;
}

const JournalLayout& BinLayout()
{
    static const JournalLayout layout{
        {"删除时间", "删除人", "计算机", "操作", "原ID", "收文日期", "收文号", "来文单位", "来文号", "文件标题"},
        kNoFieldColumn,
        "Marivel回收站"};
    return layout;
}

std::string ColumnCaption(const std::string& columnName)
{
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        if (columnName != ColumnName(column)) continue;
        const int caption = RowPosition(column) + kFirstItemCaption;
        if (caption >= kFirstItemCaption && caption < kSheetColumnCount) return SheetHeaders()[static_cast<std::size_t>(caption)];
    }
    return columnName;
}

JournalRows::JournalRows(const JournalLayout& layout, std::shared_ptr<const TSQLiteTable> table)
    : layout_(&layout), table_(std::move(table))
{
}

std::size_t JournalRows::size() const
{
    return table_ ? static_cast<std::size_t>(table_->CountRows()) : 0;
}

std::string JournalRows::Cell(std::size_t row, int column) const
{
    std::string text;
    table_->AppendTextOf(static_cast<int>(row), column, text);
    return column == layout_->fieldColumn ? ColumnCaption(text) : text;
}

std::int64_t JournalRows::EntryOf(std::size_t row) const
{
    return table_->Int64Of(static_cast<int>(row), static_cast<int>(layout_->captions.size()));
}

SheetTable JournalRows::Sheet() const
{
    SheetTable sheet{layout_->sheetTitle, {layout_->captions.begin(), layout_->captions.end()}, {}};
    sheet.rows.reserve(size());
    for (std::size_t r = 0; r < size(); ++r) {
        std::vector<std::string>& cells = sheet.rows.emplace_back();
        for (int k = 0; k < static_cast<int>(layout_->captions.size()); ++k) cells.push_back(Cell(r, k));
    }
    return sheet;
}

}  // namespace quorva

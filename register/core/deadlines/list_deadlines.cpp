#include "register/core/deadlines/list_deadlines.h"

#include <limits>
#include <stdexcept>

#include "register/core/records/record_row.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

constexpr std::int32_t kNoDeadline = std::numeric_limits<std::int32_t>::min();

std::string TextOf(const TSQLiteTable& result, int row, int column)
{
    std::string text;
    result.AppendTextOf(row, column, text);
    return text;
}

}  // namespace

std::string OverdueStatusText(std::size_t overdue)
{
    return "超期未办结 " + std::to_string(overdue) + " 件";
}

void ListDeadlines::Reset(const TSQLiteTable& result)
{
    days_.clear();
    days_.shrink_to_fit();
    finished_.clear();
    finished_.shrink_to_fit();
    // An empty result has no column names to look up.
    if (result.CountRows() == 0) return;
    idColumn_ = result.ColumnIndex(ColumnName(Column::ID));
    swrqColumn_ = result.ColumnIndex(ColumnName(Column::swrq));
    jjcdColumn_ = result.ColumnIndex(ColumnName(Column::jjcd));
    ybjColumn_ = result.ColumnIndex(ColumnName(Column::ybj));
    days_.reserve(static_cast<std::size_t>(result.CountRows()));
    finished_.reserve(static_cast<std::size_t>(result.CountRows()));
}

ListDeadlines::Row ListDeadlines::Assess(const TSQLiteTable& result, int resultRow) const
{
    return Row{book_.DeadlineOf(result.Int64Of(resultRow, idColumn_), TextOf(result, resultRow, swrqColumn_),
                                TextOf(result, resultRow, jjcdColumn_)),
               IsYes(TextOf(result, resultRow, ybjColumn_))};
}

ListDeadlines::Row ListDeadlines::Assess(const RecordRow& row) const
{
    return Row{book_.DeadlineOf(RecordIdOf(row), std::string(row.at(Column::swrq)), std::string(row.at(Column::jjcd))),
               IsYes(row.at(Column::ybj))};
}

void ListDeadlines::Add(const Row& row)
{
    days_.push_back(row.deadline ? static_cast<std::int32_t>(row.deadline->DayNumber()) : kNoDeadline);
    finished_.push_back(row.finished);
}

void ListDeadlines::Replace(std::size_t index, const Row& row)
{
    if (index >= days_.size()) throw std::out_of_range("no such row in the list");
    days_[index] = row.deadline ? static_cast<std::int32_t>(row.deadline->DayNumber()) : kNoDeadline;
    finished_[index] = row.finished;
}

std::optional<CivilDate> ListDeadlines::DeadlineOf(std::size_t index) const
{
    if (index >= days_.size() || days_[index] == kNoDeadline) return std::nullopt;
    return CivilDate::FromDayNumber(days_[index]);
}

DeadlineState ListDeadlines::StateOf(std::size_t index, const CivilDate& today) const
{
    if (index >= days_.size()) return DeadlineState::Normal;
    return quorva::StateOf(DeadlineOf(index), finished_[index], today);
}

std::size_t ListDeadlines::CountOverdue(const CivilDate& today) const
{
    std::size_t overdue = 0;
    for (std::size_t i = 0; i < days_.size(); ++i) {
        if (StateOf(i, today) == DeadlineState::Overdue) ++overdue;
    }
    return overdue;
}

}  // namespace quorva

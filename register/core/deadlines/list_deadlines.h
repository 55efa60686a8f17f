#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "register/core/deadlines/deadline_book.h"

class TSQLiteTable;

namespace quorva {

class RecordRow;

// What the status bar says after every reload.
std::string OverdueStatusText(std::size_t overdue);

// The deadline of each row the main window's list shows, worked out once as
// the list is filled, so drawing, counting and exporting read it by row
// number however long the register.
class ListDeadlines {
public:
    struct Row {
        std::optional<CivilDate> deadline;
        bool finished = false;
    };

    ListDeadlines() = default;
    explicit ListDeadlines(DeadlineBook book) : book_(std::move(book)) {}

    // Starts a new list of rows of `result`, a "SELECT *" on the table.
    void Reset(const TSQLiteTable& result);
    Row Assess(const TSQLiteTable& result, int resultRow) const;
    // A row as the list holds it after an edit in place.
    Row Assess(const RecordRow& row) const;
    // The list's next row.
    void Add(const Row& row);
    void Replace(std::size_t index, const Row& row);

    std::optional<CivilDate> DeadlineOf(std::size_t index) const;
    DeadlineState StateOf(std::size_t index, const CivilDate& today) const;
    std::size_t CountOverdue(const CivilDate& today) const;
    DeadlineBook& book() { return book_; }

private:
    DeadlineBook book_;
    int idColumn_ = -1;
    int swrqColumn_ = -1;
    int jjcdColumn_ = -1;
    int ybjColumn_ = -1;
    // Day numbers, four bytes a row.
    std::vector<std::int32_t> days_;
    std::vector<bool> finished_;
};

}  // namespace quorva

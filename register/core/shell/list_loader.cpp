#include "register/core/shell/list_loader.h"

#include <stdexcept>

#include "register/core/shell/settings.h"
#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

long long DaysFromText(const std::string& text)
{
    long long days = 0;
    if (!ParseWholeNumber(text, days)) throw std::runtime_error("'" + text + "' is not a valid integer value");
    return days;
}

CivilDate DateFromSwrq(const std::string& swrq)
{
    const std::optional<CivilDate> date = ParseCompactDate(swrq);
    if (!date) throw std::runtime_error("'" + swrq + "' is not a valid date");
    return *date;
}

// The days text is read once a row is tested, and once only.
class RecentDaysRule {
public:
    RecentDaysRule(const std::string& daysText, const CivilDate& today) : daysText_(daysText), today_(today) {}
    bool Admits(const std::string& swrq)
    {
        const std::int64_t age = today_.DayNumber() - DateFromSwrq(swrq).DayNumber();
        if (!daysRead_) {
            days_ = DaysFromText(daysText_);
            daysRead_ = true;
        }
        return days_ >= age;
    }

private:
    const std::string& daysText_;
    const CivilDate& today_;
    bool daysRead_ = false;
    long long days_ = 0;
};

}  // namespace

bool IsWithinRecentDays(const std::string& swrq, const std::string& daysText, const CivilDate& today)
{
    return RecentDaysRule(daysText, today).Admits(swrq);
}

std::unique_ptr<TSQLiteTable> QueryRecordList(Store& store, const FilterState& filters)
{
    const std::unique_ptr<StoreConnection> connection = store.Open();
    EnsureDocumentTable(*connection);
    return connection->Query(ListStatement(connection->Dialect(), filters.ApprovalFilter(), filters.FinishedFilter()));
}

void FillRecordList(std::shared_ptr<const TSQLiteTable> result, const FilterState& filters, const CivilDate& today,
                    RecordList& rows, ListDeadlines& deadlines)
{
    const TSQLiteTable& table = *result;
    rows.Reset(std::move(result));
    deadlines.Reset(table);
    if (table.CountRows() == 0) return;
    const int swrqColumn = table.ColumnIndex(ColumnName(Column::swrq));
    const bool recentOnly = filters.IsTicked(FilterBox::RecentOnly);
    const bool overdueOnly = filters.IsTicked(FilterBox::OverdueOnly);
    RecentDaysRule recent(filters.days(), today);
    std::string swrq;
    for (int r = 0; r < table.CountRows(); ++r) {
        if (recentOnly) {
            swrq.clear();
            table.AppendTextOf(r, swrqColumn, swrq);
            if (!recent.Admits(swrq)) continue;
        }
        const ListDeadlines::Row deadline = deadlines.Assess(table, r);
        if (overdueOnly && !IsOverdue(deadline.deadline, deadline.finished, today)) continue;
        rows.Add(r);
        deadlines.Add(deadline);
    }
}

void FillRecordList(std::shared_ptr<const TSQLiteTable> result, const std::optional<DeadlineTerm>& deadline,
                    RecordList& rows, ListDeadlines& deadlines)
{
    const TSQLiteTable& table = *result;
    rows.Reset(std::move(result));
    deadlines.Reset(table);
    for (int r = 0; r < table.CountRows(); ++r) {
        const ListDeadlines::Row row = deadlines.Assess(table, r);
        if (deadline && !Matches(*deadline, row.deadline)) continue;
        rows.Add(r);
        deadlines.Add(row);
    }
}

}  // namespace quorva

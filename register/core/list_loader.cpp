#include "register/core/list_loader.h"

#include <stdexcept>

#include "register/core/settings.h"
#include "register/store/sqlite_database.h"

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

}  // namespace

bool IsWithinRecentDays(const std::string& swrq, const std::string& daysText, const CivilDate& today)
{
    const std::int64_t age = today.DayNumber() - DateFromSwrq(swrq).DayNumber();
    return DaysFromText(daysText) >= age;
}

std::unique_ptr<TSQLiteTable> QueryRecordList(const std::string& databasePath, const FilterState& filters)
{
    TSQLiteDatabase db(databasePath);
    EnsureDocumentTable(db);
    return db.Query(ListStatement(filters.ApprovalFilter(), filters.FinishedFilter()));
}

void AppendRecordRows(TSQLiteTable& result, const FilterState& filters, const CivilDate& today,
                      std::vector<RecordRow>& rows)
{
    if (result.CountRows() == 0) return;
    rows.reserve(rows.size() + static_cast<std::size_t>(result.CountRows()));
    const RecordRowReader reader(result);
    const int swrq = result.ColumnIndex(ColumnName(Column::swrq));
    const bool recentOnly = filters.IsTicked(FilterBox::RecentOnly);
    for (; !result.AtEnd(); result.MoveNext()) {
        if (recentOnly && !IsWithinRecentDays(result.TextAt(swrq), filters.days(), today)) continue;
        RecordRow& row = rows.emplace_back();
        reader.Read(result, row);
        row.caption = std::to_string(rows.size());
    }
}

}  // namespace quorva

#include "register/core/deadlines/deadline_table.h"

#include <algorithm>
#include <memory>
#include <string>

#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

const char* const kIdColumn = "ID";
const char* const kDeadlineColumn = "blsx";
// Rows per insert when copying: few round trips to a server.
constexpr int kRowsPerInsert = 200;

std::string Table()
{
    return kDeadlineTable;
}

std::string InsertRows(int rows)
{
    std::string text = "INSERT INTO " + Table() + "(" + kIdColumn + "," + kDeadlineColumn + ") VALUES ";
    for (int r = 0; r < rows; ++r) text += r ? ",(?,?)" : "(?,?)";
    return text;
}

}  // namespace

void EnsureDeadlineTable(StoreConnection& store)
{
    if (store.HasTable(kDeadlineTable)) return;
    store.Execute("CREATE TABLE " + Table() + " (" + kIdColumn + " " + store.Dialect().RecordIdType() +
                  " PRIMARY KEY, " + kDeadlineColumn + " text)");
}

OwnDeadlines ReadOwnDeadlines(StoreConnection& store)
{
    EnsureDeadlineTable(store);
    const std::unique_ptr<TSQLiteTable> rows =
        store.Query("SELECT " + std::string(kIdColumn) + "," + kDeadlineColumn + " FROM " + Table());
    OwnDeadlines own;
    own.reserve(static_cast<std::size_t>(rows->CountRows()));
    std::string text;
    for (int r = 0; r < rows->CountRows(); ++r) {
        text.clear();
        rows->AppendTextOf(r, 1, text);
        if (const std::optional<CivilDate> date = ParseCompactDate(text)) own.emplace(rows->Int64Of(r, 0), *date);
    }
    return own;
}

void SaveOwnDeadline(StoreConnection& store, std::int64_t id, const std::optional<CivilDate>& deadline)
{
    EnsureDeadlineTable(store);
    store.Execute(SqlStatement{"DELETE FROM " + Table() + " WHERE " + kIdColumn + "=?", {id}});
    if (deadline) store.Execute(SqlStatement{InsertRows(1), {id, deadline->ToCompact()}});
}

void ClearOwnDeadlines(StoreConnection& store)
{
    EnsureDeadlineTable(store);
    store.Execute("DELETE FROM " + Table());
}

void CopyOwnDeadlines(StoreConnection& from, StoreConnection& to)
{
    ClearOwnDeadlines(to);
    if (!from.HasTable(kDeadlineTable)) return;
    const std::unique_ptr<TSQLiteTable> rows =
        from.Query("SELECT " + std::string(kIdColumn) + "," + kDeadlineColumn + " FROM " + Table());
    for (int first = 0; first < rows->CountRows(); first += kRowsPerInsert) {
        const int count = std::min(kRowsPerInsert, rows->CountRows() - first);
        SqlStatement insert{InsertRows(count), {}};
        for (int r = first; r < first + count; ++r) {
            std::string text;
            rows->AppendTextOf(r, 1, text);
            insert.values.emplace_back(rows->Int64Of(r, 0));
            insert.values.emplace_back(std::move(text));
        }
        to.Execute(insert);
    }
}

}  // namespace quorva

#include "register/core/storage/record_copy.h"

#include <array>

#include "register/core/deadlines/deadline_table.h"
#include "register/core/records/document_table.h"

namespace quorva {

namespace {

// Rows per insert: few round trips to a server, and far below either
// back end's limit on bound values (27 per row).
constexpr int kRowsPerInsert = 100;

std::string AllColumnsInsert(int rows)
{
    std::string names;
    std::string row = "(";
    for (int c = 0; c < kColumnCount; ++c) {
        names += (c ? "," : "") + std::string(ColumnName(static_cast<Column>(c)));
        row += c ? ",?" : "?";
    }
    row += ")";
    std::string text = std::string("INSERT INTO ") + kTableName + "(" + names + ") VALUES ";
    for (int r = 0; r < rows; ++r) text += (r ? "," : "") + row;
    return text;
}

SqlValue ValueOf(const TSQLiteTable& table, int row, int column)
{
    if (table.IsNullOf(row, column)) return SqlNull{};
    if (table.KindAt(column) == ColumnKind::Integer) return table.Int64Of(row, column);
    std::string text;
    table.AppendTextOf(row, column, text);
    return text;
}

}  // namespace

std::int64_t CopyRecords(StoreConnection& from, StoreConnection& to)
{
    const std::unique_ptr<TSQLiteTable> records =
        from.Query(std::string("SELECT * FROM ") + kTableName + from.Dialect().RecordOrder());
    const int count = records->CountRows();
    if (count == 0) return 0;
    std::array<int, kColumnCount> indices{};
    for (int c = 0; c < kColumnCount; ++c) indices[c] = records->ColumnIndex(ColumnName(static_cast<Column>(c)));
    for (int first = 0; first < count; first += kRowsPerInsert) {
        const int rows = std::min(kRowsPerInsert, count - first);
        SqlStatement insert{AllColumnsInsert(rows), {}};
        insert.values.reserve(static_cast<std::size_t>(rows) * kColumnCount);
        for (int r = first; r < first + rows; ++r) {
            for (int index : indices) insert.values.push_back(ValueOf(*records, r, index));
        }
        to.Execute(insert);
    }
    for (const std::string& statement : to.Dialect().AfterExplicitIds()) to.Execute(statement);
    return count;
}

std::int64_t CountRecords(StoreConnection& connection)
{
    return connection.Query(std::string("SELECT count(*) FROM ") + kTableName)->Int64At(0);
}

void RestoreRecords(StoreConnection& from, StoreConnection& to, const std::string& backupPath,
                    const ChangeAuthor& author)
{
    StoreTransaction transaction(to);
    EnsureDocumentTable(to);
    for (const std::string& statement : to.Dialect().ClearRecordTable()) to.Execute(statement);
    if (from.HasTable(kTableName)) CopyRecords(from, to);
    // A backup from before deadlines has none to bring.
    CopyOwnDeadlines(from, to);
    JournalChange(to, {ChangeAction::Restore, 0, {}, {}, backupPath}, author);
    transaction.Commit();
}

}  // namespace quorva

#include "register/core/history/change_history.h"

#include <cstdio>

#include "register/core/history/journal_tables.h"
#include "register/core/records/document_table.h"
#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

const char* const kReadColumns = "czsj,czr,jsj,czlx,jlid,swzh,zdm,jz,xz,sm";
// Rows per insert: 10 bound values each, far below either back end's limit.
constexpr std::size_t kRowsPerInsert = 50;
const char* const kCleared = " 条记录移入回收站";
const char* const kPurged = " 条记录彻底删除";
const char* const kFormerId = "原ID ";
const char* const kClearedAt = "清空于 ";
const char* const kNoteSeparator = "，";

struct ActionText {
    ChangeAction action;
    const char* name;
};
const ActionText kActionTexts[] = {
    {ChangeAction::Insert, "新增"},   {ChangeAction::Edit, "修改"},      {ChangeAction::Delete, "删除"},
    {ChangeAction::Clear, "清空"},    {ChangeAction::Restore, "恢复"},   {ChangeAction::Undelete, "还原"},
    {ChangeAction::Purge, "彻底删除"}, {ChangeAction::EmptyBin, "清空回收站"},
};

SqlValue TextOrNull(const std::string& text)
{
    if (text.empty()) return SqlNull{};
    return text;
}

std::int64_t CountOf(StoreConnection& connection, const char* table)
{
    return connection.Query(std::string("SELECT count(*) FROM ") + table)->Int64At(0);
}

std::string UndeleteNote(const RecordChange& change)
{
    std::string note = change.source.empty() ? std::string() : kClearedAt + change.source;
    if (change.formerId == 0) return note;
    return note + (note.empty() ? "" : kNoteSeparator) + kFormerId + std::to_string(change.formerId);
}

// What the row says beyond its columns; the counts are read before the
// records go.
std::string NoteOf(StoreConnection& connection, const RecordChange& change)
{
    switch (change.action) {
    case ChangeAction::Restore: return change.source;
    case ChangeAction::Clear: return std::to_string(CountOf(connection, kTableName)) + kCleared;
    case ChangeAction::EmptyBin: return std::to_string(CountOf(connection, kBinTable)) + kPurged;
    case ChangeAction::Undelete: return UndeleteNote(change);
    default: return std::string();
    }
}

// One row of the insert. A missing record ID is a NULL in the text: a bound
// NULL would travel as text, which a server's number column refuses.
void AddRow(SqlStatement& insert, const RecordChange& change, const ChangeAuthor& author, const ChangedValue* value,
            const std::string& note)
{
    if (!insert.values.empty()) insert.text += ",";
    insert.text += change.id ? "(?,?,?,?,?,?,?,?,?,?)" : "(?,?,?,?,NULL,?,?,?,?,?)";
    for (const std::string* text : {&author.time, &author.user, &author.machine}) insert.values.push_back(*text);
    insert.values.emplace_back(ActionName(change.action));
    if (change.id) insert.values.emplace_back(change.id);
    insert.values.push_back(TextOrNull(change.receiptNumber));
    insert.values.push_back(value ? SqlValue{ColumnName(value->column)} : SqlNull{});
    insert.values.push_back(value ? SqlValue{value->before} : SqlNull{});
    insert.values.push_back(value ? SqlValue{value->after} : SqlNull{});
    insert.values.push_back(TextOrNull(note));
}

}  // namespace

const char* ActionName(ChangeAction action)
{
    for (const ActionText& text : kActionTexts) {
        if (text.action == action) return text.name;
    }
    return "";
}

std::string HistoryDate(const CivilDate& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

void AppendHistory(StoreConnection& connection, const std::vector<RecordChange>& changes, const ChangeAuthor& author)
{
    EnsureHistoryTable(connection);
    const std::string head = std::string("INSERT INTO ") + kHistoryTable + " (" + kReadColumns + ") VALUES ";
    SqlStatement insert{head, {}};
    std::size_t rows = 0;
    const auto add = [&](const RecordChange& change, const ChangedValue* value, const std::string& note) {
        AddRow(insert, change, author, value, note);
        if (++rows % kRowsPerInsert != 0) return;
        connection.Execute(insert);
        insert = SqlStatement{head, {}};
    };
    for (const RecordChange& change : changes) {
        if (change.action != ChangeAction::Edit) {
            add(change, nullptr, NoteOf(connection, change));
            continue;
        }
        for (const ChangedValue& value : change.values) add(change, &value, std::string());
    }
    if (!insert.values.empty()) connection.Execute(insert);
}

std::unique_ptr<TSQLiteTable> ReadHistoryLog(StoreConnection& connection, const HistoryFilter& filter)
{
    EnsureHistoryTable(connection);
    const CivilDate dayAfter = CivilDate::FromDayNumber(filter.to.DayNumber() + 1);
    SqlStatement query{std::string("SELECT ") + kReadColumns + " FROM " + kHistoryTable + " WHERE czsj >= ? AND czsj < ?",
                       {HistoryDate(filter.from), HistoryDate(dayAfter)}};
    if (filter.action) {
        query.text += " AND czlx = ?";
        query.values.emplace_back(ActionName(*filter.action));
    }
    query.text += " ORDER BY ID";
    return connection.Query(query);
}

std::unique_ptr<TSQLiteTable> ReadRecordHistory(StoreConnection& connection, std::int64_t id)
{
    EnsureHistoryTable(connection);
    const std::string table = kHistoryTable;
    return connection.Query(SqlStatement{
        std::string("SELECT ") + kReadColumns + " FROM " + table + " WHERE jlid = ? AND ID >= coalesce((SELECT max(ID) FROM " +
            table + " WHERE jlid = ? AND czlx = ?), 0) ORDER BY ID",
        {id, id, std::string(ActionName(ChangeAction::Insert))}});
}

}  // namespace quorva

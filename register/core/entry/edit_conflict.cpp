#include "register/core/entry/edit_conflict.h"

#include "register/core/search/search_form.h"
#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

std::unique_ptr<TSQLiteTable> LockedRecord(StoreConnection& connection, std::int64_t id)
{
    return connection.Query(
        SqlStatement{std::string("SELECT * FROM ") + kTableName + " where id=?" + connection.Dialect().LockForChange(),
                     {id}});
}

// The field's name as the search dialog labels it, without its colon.
std::string FieldName(Column column)
{
    for (const SearchRow& row : kSearchRows) {
        if (row.column != column) continue;
        std::string label = row.label;
        const std::string colon = "：";
        if (label.size() >= colon.size() && label.compare(label.size() - colon.size(), colon.size(), colon) == 0) {
            label.resize(label.size() - colon.size());
        }
        return label;
    }
    return ColumnName(column);
}

}  // namespace

EditConflict FindEditConflict(StoreConnection& connection, const RecordRow& shown)
{
    EditConflict conflict;
    const std::unique_ptr<TSQLiteTable> stored = LockedRecord(connection, RecordIdOf(shown));
    if (stored->CountRows() == 0) {
        conflict.deleted = true;
        return conflict;
    }
    for (Column column : kWrittenColumns) {
        const std::string now = stored->TextAt(stored->ColumnIndex(ColumnName(column)));
        if (now != shown.at(column)) conflict.theirs.push_back({column, std::string(shown.at(column)), now});
    }
    return conflict;
}

std::string ConflictQuestion(const EditConflict& conflict, const RecordFields& mine)
{
    std::string text = "您打开这条记录后，其他人修改了它：\n";
    for (const ChangedValue& value : conflict.theirs) {
        text += "\n" + FieldName(value.column) + "：原为“" + value.before + "”，现为“" + value.after + "”，您改为“" +
                mine[static_cast<int>(value.column)] + "”";
    }
    return text + "\n\n选择“是”保留您的修改，选择“否”采用对方的修改。";
}

RecordRow StoredRow(StoreConnection& connection, std::int64_t id, const RecordRow& shown)
{
    RecordRow row = shown;
    const std::unique_ptr<TSQLiteTable> stored = LockedRecord(connection, id);
    if (stored->CountRows() == 0) return row;
    for (Column column : kWrittenColumns) row.Set(column, stored->TextAt(stored->ColumnIndex(ColumnName(column))));
    return row;
}

}  // namespace quorva

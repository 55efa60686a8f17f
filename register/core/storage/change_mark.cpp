#include "register/core/storage/change_mark.h"

#include "register/core/storage/store.h"

namespace quorva {

void EnsureChangeMark(StoreConnection& connection)
{
    connection.Execute(std::string("CREATE TABLE IF NOT EXISTS ") + kChangeTable +
                       " (id integer PRIMARY KEY, serial bigint, summary text)");
    connection.Execute(std::string("INSERT INTO ") + kChangeTable +
                       " (id, serial, summary) VALUES (1, 0, '') ON CONFLICT (id) DO NOTHING");
}

void AnnounceChange(StoreConnection& connection, const std::string& summary)
{
    connection.Execute(SqlStatement{
        std::string("UPDATE ") + kChangeTable + " SET serial = serial + 1, summary = ? WHERE id = 1", {summary}});
}

ChangeMark ReadChangeMark(StoreConnection& connection)
{
    const std::unique_ptr<TSQLiteTable> row =
        connection.Query(std::string("SELECT serial, summary FROM ") + kChangeTable + " WHERE id = 1");
    if (row->CountRows() == 0) return {};
    return {row->Int64At(0), row->TextAt(1)};
}

}  // namespace quorva

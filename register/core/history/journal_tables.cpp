#include "register/core/history/journal_tables.h"

#include "register/core/records/document_table.h"
#include "register/core/storage/store.h"

namespace quorva {

namespace {

const char* const kHistoryTextColumns[] = {"czsj", "czr", "jsj", "czlx"};
const char* const kHistoryChangeColumns[] = {"swzh", "zdm", "jz", "xz", "sm"};
const char* const kBinDeletionColumns[] = {"scsj", "scr", "jsj", "czlx"};

template <std::size_t N>
std::string TextColumns(const char* const (&names)[N])
{
    std::string columns;
    for (const char* name : names) columns += std::string(",") + name + " TEXT";
    return columns;
}

void CreateHistoryTable(StoreConnection& connection)
{
    const StoreDialect& dialect = connection.Dialect();
    connection.Execute(std::string("CREATE TABLE ") + kHistoryTable + " (ID " + dialect.IdentityColumn() +
                       TextColumns(kHistoryTextColumns) + ",jlid " + dialect.RecordIdType() +
                       TextColumns(kHistoryChangeColumns) + ")");
    // A record's own history and the log's date range are what is looked up.
    connection.Execute(std::string("CREATE INDEX QuorvaHistoryjlid ON ") + kHistoryTable + " (jlid)");
    connection.Execute(std::string("CREATE INDEX QuorvaHistoryczsj ON ") + kHistoryTable + " (czsj)");
}

void CreateBinTable(StoreConnection& connection)
{
    const StoreDialect& dialect = connection.Dialect();
    std::string columns = "hsid " + dialect.IdentityColumn() + ",ID " + dialect.RecordIdType();
    for (int c = 1; c < kColumnCount; ++c) columns += std::string(",") + ColumnName(static_cast<Column>(c)) + " TEXT";
    connection.Execute(std::string("CREATE TABLE ") + kBinTable + " (" + columns + TextColumns(kBinDeletionColumns) +
                       ")");
}

}  // namespace

void EnsureHistoryTable(StoreConnection& connection)
{
    if (!connection.HasTable(kHistoryTable)) CreateHistoryTable(connection);
}

void EnsureBinTable(StoreConnection& connection)
{
    if (!connection.HasTable(kBinTable)) CreateBinTable(connection);
}

std::string RecordColumnList(bool withId)
{
    std::string columns;
    for (int c = withId ? 0 : 1; c < kColumnCount; ++c) {
        if (!columns.empty()) columns += ",";
        columns += ColumnName(static_cast<Column>(c));
    }
    return columns;
}

}  // namespace quorva

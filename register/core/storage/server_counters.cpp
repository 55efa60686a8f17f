#include "register/core/storage/server_counters.h"

#include "register/core/entry/number_advance.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

// However many records another program numbered past the counter, the
// search for a free number ends.
constexpr int kMaxTakenInARow = 10000;

}  // namespace

void EnsureCounters(StoreConnection& connection)
{
    connection.Execute(std::string("CREATE TABLE IF NOT EXISTS ") + kCounterTable +
                       " (name varchar(32) PRIMARY KEY, value text)");
}

ServerCounters::ServerCounters(StoreConnection& connection) : connection_(connection) {}

std::string ServerCounters::Read(const char* key, const std::string& fallback, bool lock)
{
    connection_.Execute(SqlStatement{std::string("INSERT INTO ") + kCounterTable +
                                         " (name, value) VALUES (?, ?) ON CONFLICT (name) DO NOTHING",
                                     {std::string(key), fallback}});
    const std::unique_ptr<TSQLiteTable> row = connection_.Query(SqlStatement{
        std::string("SELECT value FROM ") + kCounterTable + " WHERE name = ?" + (lock ? " FOR UPDATE" : ""),
        {std::string(key)}});
    return row->TextAt(0);
}

std::string ServerCounters::Last(const char* key, const std::string& fallback)
{
    return Read(key, fallback, false);
}

std::string ServerCounters::LockLast(const char* key, const std::string& fallback)
{
    return Read(key, fallback, true);
}

void ServerCounters::Set(const char* key, const std::string& value)
{
    connection_.Execute(SqlStatement{std::string("UPDATE ") + kCounterTable + " SET value = ? WHERE name = ?",
                                     {value, std::string(key)}});
}

std::string FirstFreeNumber(StoreConnection& connection, Column column, const std::string& candidate)
{
    std::string number = candidate;
    for (int tries = 0; tries < kMaxTakenInARow && !number.empty(); ++tries) {
        if (connection.Query(DuplicateStatement(column, number))->CountRows() == 0) return number;
        number = AdvanceNumber(number).value_or("");
    }
    return "";
}

}  // namespace quorva

#pragma once

#include <memory>
#include <string>

#include "register/store/sql_statement.h"
#include "register/store/sqlite_table.h"

struct sqlite3;

// One connection to one database file, open for the object's lifetime. Each
// command of the register makes its own and drops it before returning; no
// transaction is opened, every statement commits alone.
class TSQLiteDatabase {
public:
    // The file name is UTF-8; the file is created when it does not exist.
    explicit TSQLiteDatabase(const std::string& fileName);
    // Opens an existing file for reading only; nothing can change it through
    // this connection.
    struct ReadOnly {};
    TSQLiteDatabase(const std::string& fileName, ReadOnly);
    ~TSQLiteDatabase();
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    // Runs the first statement of the text; it must return no rows.
    void Execute(const std::string& sql);
    void Execute(const SqlStatement& statement);

    std::unique_ptr<TSQLiteTable> Query(const std::string& sql);
    std::unique_ptr<TSQLiteTable> Query(const SqlStatement& statement);

    // Case-insensitive on the name.
    bool HasTable(const std::string& tableName);

    // Copies a whole database in one step; returns SQLite's result of the
    // step (101 when the copy is complete).
    int BackupTo(TSQLiteDatabase& target, const std::string& targetName, const std::string& sourceName);
    int BackupTo(TSQLiteDatabase& target);

private:
    void Open(const std::string& fileName, int flags);
    class Prepared;
    Prepared Prepare(const SqlStatement& statement);
    [[noreturn]] void RaiseError(const std::string& message, const std::string& sql) const;

    sqlite3* db_ = nullptr;
};

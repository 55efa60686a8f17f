#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "register/core/records/document_statements.h"
#include "register/store/sql_statement.h"
#include "register/store/sqlite_table.h"

// Where the register keeps its records: an SQLite file on this machine, or a
// database server shared by an office's clerks. The commands talk to these
// interfaces only; each back end keeps the statements that differ between
// the two in its own dialect.
namespace quorva {

enum class StoreKind { File, Server };

struct ChangeAuthor;

// The statement texts that are not the same on both back ends. Values never
// appear here: they stay bound.
class StoreDialect {
public:
    virtual ~StoreDialect() = default;
    // The record table and its index, each its own statement.
    virtual std::vector<std::string> CreateRecordTable() const = 0;
    // Empties the record table so that the next record gets ID 1 again.
    virtual std::vector<std::string> ClearRecordTable() const = 0;
    // A display filter's condition on one flag column.
    virtual std::string FlagCondition(Column column, FlagFilter filter) const = 0;
    // The operator of a fuzzy search term: ASCII letters match either case
    // and nothing in the clerk's text escapes anything.
    virtual std::string FuzzyMatch(Column column) const = 0;
    // Appended to every statement that lists records, so rows come in
    // ascending ID as the list expects.
    virtual std::string RecordOrder() const = 0;
    // Sets the generator of new IDs after the highest stored one, once rows
    // came in with IDs of their own.
    virtual std::vector<std::string> AfterExplicitIds() const = 0;
    // Appended to a read of one record that a change will follow, so no
    // other clerk can change it in between.
    virtual std::string LockForChange() const = 0;
    // Whether several clerks' registers work on this store at once.
    virtual bool SharedByClerks() const = 0;
    // Whether text compares by its bytes, so that a range of an index holds
    // exactly the texts with a prefix.
    virtual bool OrdersTextByBytes() const = 0;
    // The type of a column that keys a side table by the record's ID, or
    // holds any other whole number.
    virtual std::string RecordIdType() const = 0;
    // The key column of the register's own tables beside Quorva, numbered by
    // the store.
    virtual std::string IdentityColumn() const = 0;
};

// One connection to the store for one command.
class StoreConnection {
public:
    virtual ~StoreConnection() = default;
    virtual const StoreDialect& Dialect() const = 0;
    virtual void Execute(const SqlStatement& statement) = 0;
    virtual std::unique_ptr<TSQLiteTable> Query(const SqlStatement& statement) = 0;
    // Case-insensitive on the name.
    virtual bool HasTable(const std::string& tableName) = 0;
    // Runs an insert into the record table and gives the new row's ID.
    virtual std::int64_t InsertRecord(const SqlStatement& statement) = 0;
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;

    void Execute(const std::string& text) { Execute(SqlStatement{text, {}}); }
    std::unique_ptr<TSQLiteTable> Query(const std::string& text) { return Query(SqlStatement{text, {}}); }
};

// Statements between construction and Commit stand or fall together; leaving
// the scope without Commit takes them all back.
class StoreTransaction {
public:
    explicit StoreTransaction(StoreConnection& connection);
    ~StoreTransaction();
    StoreTransaction(const StoreTransaction&) = delete;
    StoreTransaction& operator=(const StoreTransaction&) = delete;
    void Commit();

private:
    StoreConnection& connection_;
    bool open_ = true;
};

class Store {
public:
    virtual ~Store() = default;
    virtual StoreKind Kind() const = 0;
    // A new connection, or for the server the one kept open between commands.
    virtual std::unique_ptr<StoreConnection> Open() = 0;
    // The store as the clerk knows it, for messages: the file's path, or the
    // server and its database.
    virtual std::string Name() const = 0;
    // The folder for the register's own files beside its records.
    virtual std::string SideFolder() const = 0;
    // The file name a backup of this store gets (without folder).
    virtual std::string BackupName() const = 0;
    // Whether there is anything to back up.
    virtual bool Exists() const = 0;
    // Writes every record into a new SQLite file at `backupPath` (through a
    // temporary file, so an old backup stays until the new one is complete).
    virtual bool Backup(const std::string& backupPath) = 0;
    // Replaces every record by those of a checked backup file, after keeping
    // the records as they were in a safety copy made at `stamp` (see
    // safety_copies.h), whose path it gives (empty when there was nothing to
    // keep). Nothing, with the store unchanged, when the backup is refused or
    // the copy fails; raises when the backup cannot be opened. The history
    // and the recycle bin stay as they are; the restore joins the history.
    virtual std::optional<std::string> Restore(const std::string& backupPath, const std::string& stamp,
                                               const ChangeAuthor& author) = 0;
};

}  // namespace quorva

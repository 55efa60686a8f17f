#pragma once

#include <memory>
#include <string>

#include "register/core/storage/store.h"

class TSQLiteDatabase;

// The register's own SQLite file: the default store, as it has always been.
// Each command opens the file afresh and closes it again.
namespace quorva {

const StoreDialect& FileDialect();

class FileStoreConnection final : public StoreConnection {
public:
    // Opens (and creates) the file.
    explicit FileStoreConnection(const std::string& databasePath);
    // Works on a connection the caller keeps.
    explicit FileStoreConnection(TSQLiteDatabase& database);
    ~FileStoreConnection() override;

    const StoreDialect& Dialect() const override { return FileDialect(); }
    void Execute(const SqlStatement& statement) override;
    std::unique_ptr<TSQLiteTable> Query(const SqlStatement& statement) override;
    bool HasTable(const std::string& tableName) override;
    std::int64_t InsertRecord(const SqlStatement& statement) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;

    using StoreConnection::Execute;
    using StoreConnection::Query;
    TSQLiteDatabase& database() { return database_; }

private:
    std::unique_ptr<TSQLiteDatabase> owned_;
    TSQLiteDatabase& database_;
};

class FileStore final : public Store {
public:
    explicit FileStore(std::string databasePath) : path_(std::move(databasePath)) {}

    StoreKind Kind() const override { return StoreKind::File; }
    std::unique_ptr<StoreConnection> Open() override;
    std::string Name() const override { return path_; }
    std::string SideFolder() const override;
    std::string BackupName() const override;
    bool Exists() const override;
    bool Backup(const std::string& backupPath) override;
    std::optional<std::string> Restore(const std::string& backupPath, const std::string& stamp,
                                       const ChangeAuthor& author) override;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace quorva

#include "register/core/storage/file_store.h"

#include "register/core/records/database_copy.h"
#include "register/core/records/document_table.h"
#include "register/core/records/safety_copies.h"
#include "register/core/storage/record_copy.h"
#include "register/store/sqlite_database.h"

namespace quorva {

namespace {

class SqliteDialect final : public StoreDialect {
public:
    std::vector<std::string> CreateRecordTable() const override
    {
        return {CreateTableStatement(), CreateIndexStatement()};
    }

    std::vector<std::string> ClearRecordTable() const override
    {
        // Dropping and creating again is what restarts the IDs at 1.
        std::vector<std::string> statements{std::string("DROP TABLE ") + kTableName};
        for (std::string& create : CreateRecordTable()) statements.push_back(std::move(create));
        return statements;
    }

    std::string FlagCondition(Column column, FlagFilter filter) const override
    {
        // The flag value is the program's own constant, not typed text, so it
        // stays in the statement as a literal. A NULL flag (registers restored
        // from older files or edited elsewhere) counts as no, like empty text;
        // a bare <> would drop it from both filters of the pair.
        const std::string name = ColumnName(column);
        const std::string yes = std::string("\"") + kYes + "\"";
        if (filter == FlagFilter::OnlyYes) return name + "=" + yes;
        return "ifnull(" + name + ",'')<>" + yes;
    }

    // SQLite's like already ignores the case of ASCII letters and has no
    // escape character unless one is named.
    std::string FuzzyMatch(Column column) const override { return std::string(ColumnName(column)) + " like ?"; }

    // Rows already come in rowid order.
    std::string RecordOrder() const override { return ""; }

    // An INTEGER PRIMARY KEY continues after the highest ID by itself.
    std::vector<std::string> AfterExplicitIds() const override { return {}; }

    // The transaction's write lock already keeps everyone else out.
    std::string LockForChange() const override { return ""; }
    bool SharedByClerks() const override { return false; }
    bool OrdersTextByBytes() const override { return true; }
    // As the key, this makes the column the table's own rowid.
    std::string RecordIdType() const override { return "INTEGER"; }
    std::string IdentityColumn() const override { return "INTEGER PRIMARY KEY"; }
};

}  // namespace

const StoreDialect& FileDialect()
{
    static const SqliteDialect dialect;
    return dialect;
}

FileStoreConnection::FileStoreConnection(const std::string& databasePath)
    : owned_(std::make_unique<TSQLiteDatabase>(databasePath)), database_(*owned_)
{
}

FileStoreConnection::FileStoreConnection(TSQLiteDatabase& database) : database_(database) {}

FileStoreConnection::~FileStoreConnection() = default;

void FileStoreConnection::Execute(const SqlStatement& statement)
{
    database_.Execute(statement);
}

std::unique_ptr<TSQLiteTable> FileStoreConnection::Query(const SqlStatement& statement)
{
    return database_.Query(statement);
}

bool FileStoreConnection::HasTable(const std::string& tableName)
{
    return database_.HasTable(tableName);
}

std::int64_t FileStoreConnection::InsertRecord(const SqlStatement& statement)
{
    database_.Execute(statement);
    return database_.Query("SELECT last_insert_rowid()")->Int64At(0);
}

void FileStoreConnection::Begin()
{
    // The write lock is taken at once, so a read inside the transaction (a
    // counter, a duplicate check) cannot be overtaken by another writer.
    database_.Execute("BEGIN IMMEDIATE");
}

void FileStoreConnection::Commit()
{
    database_.Execute("COMMIT");
}

void FileStoreConnection::Rollback()
{
    database_.Execute("ROLLBACK");
}

std::unique_ptr<StoreConnection> FileStore::Open()
{
    return std::make_unique<FileStoreConnection>(path_);
}

std::string FileStore::SideFolder() const
{
    return FolderPart(path_);
}

std::string FileStore::BackupName() const
{
    return FileNamePart(path_) + kBackupSuffix;
}

bool FileStore::Exists() const
{
    return DatabaseFileExists(path_);
}

bool FileStore::Backup(const std::string& backupPath)
{
    return BackupDatabase(path_, backupPath);
}

// Record by record into the open file rather than the backup's pages over
// it: the file keeps its history and recycle bin, and a restore that fails
// half way takes nothing with it.
std::optional<std::string> FileStore::Restore(const std::string& backupPath, const std::string& stamp,
                                              const ChangeAuthor& author)
{
    if (!IsRestorableBackup(backupPath)) return std::nullopt;
    std::string safetyCopy;
    // Made like a backup, so a hot journal or a write-ahead log is in it.
    if (Exists()) {
        safetyCopy = NewSafetyCopyPath(path_, stamp);
        if (!BackupDatabase(path_, safetyCopy)) return std::nullopt;
    }
    TSQLiteDatabase source(backupPath, TSQLiteDatabase::ReadOnly{});
    FileStoreConnection backup(source);
    FileStoreConnection target(path_);
    RestoreRecords(backup, target, backupPath, author);
    RemoveOldSafetyCopies(path_);
    return safetyCopy;
}

}  // namespace quorva

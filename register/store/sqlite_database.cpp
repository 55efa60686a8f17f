#include "register/store/sqlite_database.h"

#include <sqlite3.h>

#include "register/store/result_code_text.h"
#include "register/store/sqlite_exception.h"

namespace {

const char* const kMainDatabase = "main";
constexpr int kAllPages = -1;

// A record the register calls stored must survive the register being killed
// and the machine losing power the moment after. Synchronous "full" syncs
// the journal and the database at every commit before the clerk is told,
// and a backup's file before it is moved into place. SQLite's rollback
// journal ("delete" mode) keeps the database one file, which backups,
// restores and older registers copy as it is, and a commit cut short leaves
// a journal that the next opening plays back, so the file always holds the
// last commit; a write-ahead log would keep committed records in a second
// file. Both are SQLite's defaults, set at every opening all the same, as a
// file made elsewhere may carry another mode and a build another default.
const char* const kDurability = "PRAGMA synchronous=FULL; PRAGMA journal_mode=DELETE;";

int SetDurability(sqlite3* db)
{
    // A file that another connection holds, or keeps in write-ahead mode,
    // changes at a later opening; its own journal keeps it whole meanwhile,
    // and this connection must still open.
    const int rc = sqlite3_exec(db, kDurability, nullptr, nullptr, nullptr);
    return rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? SQLITE_OK : rc;
}

std::string AsciiLower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Doubles quotes so a name is always one SQL string literal.
std::string QuoteLiteralBody(const std::string& text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

}  // namespace

// A prepared statement that is finalized on every path out of the caller.
class TSQLiteDatabase::Prepared {
public:
    explicit Prepared(sqlite3_stmt* statement) : statement_(statement) {}
    Prepared(Prepared&& other) noexcept : statement_(other.statement_) { other.statement_ = nullptr; }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;
    ~Prepared() { sqlite3_finalize(statement_); }
    sqlite3_stmt* get() const { return statement_; }

private:
    sqlite3_stmt* statement_;
};

TSQLiteDatabase::TSQLiteDatabase(const std::string& fileName)
{
    Open(fileName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

TSQLiteDatabase::TSQLiteDatabase(const std::string& fileName, ReadOnly)
{
    Open(fileName, SQLITE_OPEN_READONLY);
}

void TSQLiteDatabase::Open(const std::string& fileName, int flags)
{
    sqlite3* db = nullptr;
    // A connection lives inside one command on one thread, so it needs no
    // lock of its own; that lock was taken and released for every value read.
    int rc = sqlite3_open_v2(fileName.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    // Nothing is written through a read-only connection.
    if (rc == SQLITE_OK && !(flags & SQLITE_OPEN_READONLY)) rc = SetDurability(db);
    if (rc == SQLITE_OK) {
        db_ = db;
        return;
    }
    if (db == nullptr) throw ESQLiteException("Failed to open database \"" + fileName + "\" : unknown error");
    const std::string reason = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw ESQLiteException("Failed to open database \"" + fileName + "\" : " + reason);
}

TSQLiteDatabase::~TSQLiteDatabase()
{
    sqlite3_close(db_);
}

void TSQLiteDatabase::RaiseError(const std::string& message, const std::string& sql) const
{
    const int code = sqlite3_errcode(db_);
    if (code == SQLITE_OK) throw ESQLiteException(message);
    throw ESQLiteException(message + ".\rError [" + std::to_string(code) + "]: " + ResultCodeText(code) + ".\r\"" +
                           sql + "\": " + sqlite3_errmsg(db_));
}

TSQLiteDatabase::Prepared TSQLiteDatabase::Prepare(const SqlStatement& statement)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, statement.text.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        RaiseError("Error executing SQL", statement.text);
    }
    Prepared prepared(raw);
    if (raw == nullptr) RaiseError("Could not prepare SQL statement", statement.text);

    if (static_cast<std::size_t>(sqlite3_bind_parameter_count(raw)) != statement.values.size()) {
        throw ESQLiteException("Wrong number of values for SQL statement \"" + statement.text + "\"");
    }
    int index = 1;
    for (const SqlValue& value : statement.values) {
        int rc;
        if (const auto* text = std::get_if<std::string>(&value)) {
            rc = sqlite3_bind_text(raw, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
        } else if (const auto* integer = std::get_if<std::int64_t>(&value)) {
            rc = sqlite3_bind_int64(raw, index, *integer);
        } else {
            rc = sqlite3_bind_null(raw, index);
        }
        if (rc != SQLITE_OK) RaiseError("Could not bind SQL value", statement.text);
        ++index;
    }
    return prepared;
}

void TSQLiteDatabase::Execute(const std::string& sql)
{
    Execute(SqlStatement{sql, {}});
}

void TSQLiteDatabase::Execute(const SqlStatement& statement)
{
    Prepared prepared = Prepare(statement);
    if (sqlite3_step(prepared.get()) != SQLITE_DONE) {
        sqlite3_reset(prepared.get());
        RaiseError("Error executing SQL statement", statement.text);
    }
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::Query(const std::string& sql)
{
    return Query(SqlStatement{sql, {}});
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::Query(const SqlStatement& statement)
{
    Prepared prepared = Prepare(statement);
    std::unique_ptr<TSQLiteTable> table(new TSQLiteTable());
    for (;;) {
        const int rc = sqlite3_step(prepared.get());
        if (rc == SQLITE_DONE) break;
        if (rc == SQLITE_BUSY) throw ESQLiteException("Could not prepare SQL statement");
        if (rc != SQLITE_ROW) {
            sqlite3_reset(prepared.get());
            RaiseError("Could not retrieve data", statement.text);
        }
        table->AppendRow(prepared.get());
    }
    table->cursor_ = 0;
    return table;
}

bool TSQLiteDatabase::HasTable(const std::string& tableName)
{
    const std::unique_ptr<TSQLiteTable> result =
        Query("select [sql] from sqlite_master where [type] = 'table' and lower(name) = '" +
              QuoteLiteralBody(AsciiLower(tableName)) + "' ");
    return result->CountRows() > 0;
}

int TSQLiteDatabase::BackupTo(TSQLiteDatabase& target, const std::string& targetName, const std::string& sourceName)
{
    sqlite3_backup* backup = sqlite3_backup_init(target.db_, targetName.c_str(), db_, sourceName.c_str());
    if (backup == nullptr) throw ESQLiteException("Could not initialize backup");
    const int rc = sqlite3_backup_step(backup, kAllPages);
    sqlite3_backup_finish(backup);
    return rc;
}

int TSQLiteDatabase::BackupTo(TSQLiteDatabase& target)
{
    return BackupTo(target, kMainDatabase, kMainDatabase);
}

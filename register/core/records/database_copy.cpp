#include "register/core/records/database_copy.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "register/core/records/document_table.h"
#include "register/core/shell/startup.h"
#include "register/store/sqlite_database.h"

#ifdef _WIN32
#include <windows.h>

#include "register/core/text/text_encoding.h"
#endif

namespace quorva {

namespace {

namespace fs = std::filesystem;

const char* const kPartialSuffix = ".partial";
const char* const kIntegrityCheck = "PRAGMA integrity_check";
const char* const kIntegrityOk = "ok";
// Any entry of the schema, whatever its type says: SQLite builds its tables
// from their statements, so a damaged type could hide a table that is there.
const char* const kAnySchemaEntry = "select name from sqlite_master";
// The first bytes of every SQLite database, its closing NUL included.
constexpr char kDatabaseHeader[] = "SQLite format 3";

fs::path PathOf(const std::string& utf8)
{
    return fs::u8path(utf8);
}

void RemoveQuietly(const std::string& path)
{
    std::error_code ignored;
    fs::remove(PathOf(path), ignored);
}

// Replaces `to` by `from` in one step, so `to` is either the old or the new
// file, never missing.
bool MoveOver(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    std::error_code error;
    fs::rename(PathOf(from), PathOf(to), error);
    return !error;
#endif
}

std::string::size_type LastSeparator(const std::string& path)
{
    return path.find_last_of("\\/");
}

bool HoldsNothing(TSQLiteDatabase& db)
{
    return db.Query(kAnySchemaEntry)->CountRows() == 0;
}

// A database the register can take: sound, and with the register's whole
// table or nothing at all (the list then creates the table). A file that is no database at
// all fails its first query.
bool IsRestorable(TSQLiteDatabase& backup)
{
    try {
        const std::unique_ptr<TSQLiteTable> check = backup.Query(kIntegrityCheck);
        if (check->CountRows() != 1 || check->TextAt(0) != kIntegrityOk) return false;
        return backup.HasTable(kTableName) ? HasEveryColumn(backup) : HoldsNothing(backup);
    } catch (const std::exception&) {
        return false;
    }
}

// SQLite takes a file shorter than its header for an empty database, so a
// few bytes of anything would restore as a register without records. A
// backup of a register that never had a table is empty; any other starts
// with the header. A file that cannot be read passes, for the opening to tell.
bool EmptyOrDatabaseHeader(const std::string& path)
{
    std::ifstream file(PathOf(path), std::ios::binary);
    char header[sizeof kDatabaseHeader] = {};
    file.read(header, sizeof header);
    return file.gcount() == 0 || std::equal(std::begin(header), std::end(header), std::begin(kDatabaseHeader));
}

// A read-only connection on the backup, or nothing when it is not one the
// register can take; a file that cannot be opened raises.
std::unique_ptr<TSQLiteDatabase> OpenRestorableBackup(const std::string& backupPath)
{
    if (!EmptyOrDatabaseHeader(backupPath)) return nullptr;
    auto backup = std::make_unique<TSQLiteDatabase>(backupPath, TSQLiteDatabase::ReadOnly{});
    if (!IsRestorable(*backup)) return nullptr;
    return backup;
}

}  // namespace

std::string FileNamePart(const std::string& path)
{
    const auto separator = LastSeparator(path);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string FolderPart(const std::string& path)
{
    const auto separator = LastSeparator(path);
    if (separator == std::string::npos) return std::string();
    const bool driveRoot = separator == 2 && path[1] == ':';
    return path.substr(0, driveRoot ? separator + 1 : separator);
}

bool DatabaseFileExists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(PathOf(path), ignored);
}

std::string BackupPathIn(const std::string& folder, const std::string& databasePath)
{
    return JoinDatabasePath(folder, FileNamePart(databasePath) + kBackupSuffix);
}

bool WriteBackupFile(const std::string& path, const std::function<void(TSQLiteDatabase&)>& fill)
{
    const std::string partial = path + kPartialSuffix;
    RemoveQuietly(partial);
    try {
        TSQLiteDatabase target(partial);
        fill(target);
    } catch (...) {
        RemoveQuietly(partial);
        throw;
    }
    // The connection is closed here: Windows moves no open file.
    if (MoveOver(partial, path)) return true;
    RemoveQuietly(partial);
    return false;
}

bool BackupDatabase(const std::string& databasePath, const std::string& backupPath)
{
    struct Incomplete {};
    try {
        return WriteBackupFile(backupPath, [&](TSQLiteDatabase& target) {
            TSQLiteDatabase source(databasePath);
            if (source.BackupTo(target) != kCopyComplete) throw Incomplete{};
        });
    } catch (const Incomplete&) {
        return false;
    }
}

bool IsRestorableBackup(const std::string& backupPath)
{
    return OpenRestorableBackup(backupPath) != nullptr;
}

}  // namespace quorva

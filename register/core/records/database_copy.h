#pragma once

#include <functional>
#include <string>

class TSQLiteDatabase;

// Whole-file copies of the register's database: backup into a chosen folder
// and restore from such a backup. Both go through SQLite's backup facility,
// so a copy is a consistent database even while another program reads it.
namespace quorva {

inline constexpr const char* kBackupSuffix = ".bak";
// SQLite's code for a copy that is complete.
inline constexpr int kCopyComplete = 101;

// The part after the last backslash (or slash); the whole text when none.
std::string FileNamePart(const std::string& path);
// The part before it, without a trailing separator except at a drive root
// ("D:\").
std::string FolderPart(const std::string& path);

bool DatabaseFileExists(const std::string& path);

// The backup of `databasePath` in `folder`: its file name + ".bak".
std::string BackupPathIn(const std::string& folder, const std::string& databasePath);

// Copies the database into a temporary file beside `backupPath` and moves it
// over the old backup only when the copy is complete, so a failed backup
// never destroys the previous one. True when the backup is in place.
bool BackupDatabase(const std::string& databasePath, const std::string& backupPath);

// Writes a new database file at `path` through a temporary file beside it:
// `fill` writes into the temporary file's connection, and only when it
// returns is the file moved over `path`. A failure leaves any old file at
// `path` as it was. True when the new file is in place.
bool WriteBackupFile(const std::string& path, const std::function<void(TSQLiteDatabase&)>& fill);

// True when the file, opened read-only, is an SQLite database that passes
// its integrity check and holds the register's table with all its columns,
// or no table at all. Raises when the file cannot be opened.
bool IsRestorableBackup(const std::string& backupPath);

}  // namespace quorva

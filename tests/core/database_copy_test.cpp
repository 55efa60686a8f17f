#include "register/core/records/database_copy.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "register/core/records/document_statements.h"
#include "register/core/records/safety_copies.h"
#include "register/core/storage/change_journal.h"
#include "register/core/storage/file_store.h"
#include "register/store/sqlite_database.h"
#include "register/store/sqlite_exception.h"
#include "tests/support/temp_folder.h"

namespace quorva {
namespace {

std::string Bytes(const std::string& path)
{
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc) << bytes;
}

class DatabaseCopyTest : public ::testing::Test {
protected:
    // A register with one record per title.
    std::string Register(const std::string& name, std::initializer_list<const char*> titles)
    {
        const std::string path = folder.File(name);
        TSQLiteDatabase db(path);
        EnsureDocumentTable(db);
        for (const char* title : titles) {
            RecordFields fields{};
            fields[static_cast<int>(Column::wjbt)] = title;
            db.Execute(InsertRecordStatement(fields));
        }
        return path;
    }

    static std::vector<std::string> Titles(const std::string& path)
    {
        TSQLiteDatabase db(path);
        std::vector<std::string> titles;
        for (auto result = db.Query("select wjbt from Quorva order by id"); !result->AtEnd(); result->MoveNext()) {
            titles.push_back(result->TextAt(0));
        }
        return titles;
    }

    // The restore must refuse `backup` and leave the database as it was.
    void ExpectRefused(const std::string& backup)
    {
        const std::string database = Register("Quorva.db", {"current"});
        const std::string before = Bytes(database);
        EXPECT_FALSE(IsRestorableBackup(backup));
        EXPECT_FALSE(FileStore(database).Restore(backup, kStamp, {}));
        EXPECT_EQ(Bytes(database), before);
        EXPECT_TRUE(SafetyCopiesOf(database).empty());
    }

    static constexpr const char* kStamp = "20261208-100000";

    TempFolder folder;
};

// Each replaced database is kept under the restore's time, with what it
// held only in its write-ahead log; the three newest stay.
TEST_F(DatabaseCopyTest, RestoresKeepTheReplacedDatabasesWholeAndTheNewestThree)
{
    const std::string database = Register("Quorva.db", {"one", "two"});
    const std::string backup = folder.File("Quorva.db.bak");
    ASSERT_TRUE(BackupDatabase(database, backup));
    EXPECT_FALSE(DatabaseFileExists(backup + ".partial"));
    TSQLiteDatabase writer(database);
    writer.Query("PRAGMA journal_mode=WAL");
    std::vector<std::string> copies;
    for (const std::string stamp : {"20261201-090000", "20261201-090000", "20261203-170500", "20261204-080000"}) {
        writer.Execute(SqlStatement{"insert into Quorva(wjbt) values (?)", {stamp}});
        const std::optional<std::string> safetyCopy = FileStore(database).Restore(backup, stamp, {});
        ASSERT_TRUE(safetyCopy);
        EXPECT_EQ(Titles(database), (std::vector<std::string>{"one", "two"}));
        EXPECT_EQ(Titles(*safetyCopy).back(), stamp);
        copies.push_back(*safetyCopy);
    }
    EXPECT_EQ(copies[1], database + ".before-restore-20261201-090000-2") << "the second restore in that second";
    EXPECT_EQ(SafetyCopiesOf(database), std::vector<std::string>(copies.begin() + 1, copies.end()));
}

TEST_F(DatabaseCopyTest, ADatabaseWithNoTableAtAllRestoresAndABackupThatCannotBeOpenedRaises)
{
    const std::string empty = folder.File("empty.bak");
    TSQLiteDatabase(empty).Execute("PRAGMA user_version=1");
    const std::string database = Register("Quorva.db", {"current"});
    EXPECT_TRUE(FileStore(database).Restore(empty, kStamp, {}));
    EXPECT_TRUE(Titles(database).empty());
    EXPECT_THROW(FileStore(database).Restore(folder.File("gone") + "/Quorva.db.bak", kStamp, {}), ESQLiteException);
}

TEST_F(DatabaseCopyTest, AFailedBackupKeepsThePreviousBackup)
{
    const std::string database = Register("Quorva.db", {"one"});
    const std::string backup = folder.File("Quorva.db.bak");
    WriteBytes(backup, "the previous backup");
    TSQLiteDatabase writer(database);
    writer.Execute("BEGIN EXCLUSIVE");
    EXPECT_FALSE(BackupDatabase(database, backup));
    EXPECT_EQ(Bytes(backup), "the previous backup");
    EXPECT_FALSE(DatabaseFileExists(backup + ".partial"));
}

TEST_F(DatabaseCopyTest, ARestoreIntoALockedDatabaseFailsAndChangesNothing)
{
    const std::string backup = Register("Quorva.db.bak", {"backed up"});
    const std::string database = Register("Quorva.db", {"current"});
    const std::string before = Bytes(database);
    {
        TSQLiteDatabase writer(database);
        writer.Execute("BEGIN EXCLUSIVE");
        EXPECT_FALSE(FileStore(database).Restore(backup, kStamp, {}));
    }
    EXPECT_EQ(Bytes(database), before);
}

TEST_F(DatabaseCopyTest, AFileThatIsNoDatabaseIsRefused)
{
    const std::string backup = folder.File("notes.bak");
    // SQLite itself reads a file shorter than its header as an empty database.
    for (const std::string& bytes : {std::string(4096, 'x'), std::string("x")}) {
        WriteBytes(backup, bytes);
        ExpectRefused(backup);
    }
}

TEST_F(DatabaseCopyTest, ATruncatedBackupIsRefused)
{
    const std::string backup = Register("Quorva.db.bak", {"backed up"});
    WriteBytes(backup, Bytes(backup).substr(0, 1024 + 512));
    ExpectRefused(backup);
}

TEST_F(DatabaseCopyTest, ACorruptedBackupIsRefused)
{
    const std::string backup = Register("Quorva.db.bak", {"backed up"});
    std::string bytes = Bytes(backup);
    const std::size_t pageSize = 4096;
    ASSERT_GT(bytes.size(), 2 * pageSize);
    // The table's root page: its header and cell pointers become nonsense.
    for (std::size_t i = pageSize; i < pageSize + 64; ++i) bytes[i] = '\x7f';
    WriteBytes(backup, bytes);
    ExpectRefused(backup);
}

TEST_F(DatabaseCopyTest, ADatabaseWithAnotherTableOrAnOlderLayoutIsRefused)
{
    const std::string other = folder.File("other.bak");
    TSQLiteDatabase(other).Execute("create table other(x)");
    ExpectRefused(other);
    const std::string older = folder.File("older.bak");
    TSQLiteDatabase(older).Execute("create table Quorva ([ID] INTEGER PRIMARY KEY, swrq, lwdw, wjbt, bwh)");
    ExpectRefused(older);
}

}  // namespace
}  // namespace quorva

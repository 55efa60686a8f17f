#include "register/core/records/database_copy.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "register/core/records/document_statements.h"
#include "register/store/sqlite_database.h"
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
        EXPECT_FALSE(RestoreDatabase(backup, database));
        EXPECT_EQ(Bytes(database), before);
        EXPECT_FALSE(DatabaseFileExists(BeforeRestorePath(database)));
    }

    TempFolder folder;
};

TEST_F(DatabaseCopyTest, ABackupRestoresAndTheReplacedDatabaseIsKeptBesideIt)
{
    const std::string database = Register("Quorva.db", {"one", "two"});
    const std::string backup = folder.File("Quorva.db.bak");
    ASSERT_TRUE(BackupDatabase(database, backup));
    EXPECT_FALSE(DatabaseFileExists(backup + ".partial"));
    TSQLiteDatabase(database).Execute("delete from Quorva where id=1");
    const std::string replaced = Bytes(database);

    ASSERT_TRUE(RestoreDatabase(backup, database));
    EXPECT_EQ(Titles(database), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Bytes(BeforeRestorePath(database)), replaced);
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
        EXPECT_FALSE(RestoreDatabase(backup, database));
    }
    EXPECT_EQ(Bytes(database), before);
}

TEST_F(DatabaseCopyTest, AFileThatIsNoDatabaseIsRefused)
{
    const std::string backup = folder.File("notes.bak");
    WriteBytes(backup, std::string(4096, 'x'));
    ExpectRefused(backup);
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

TEST_F(DatabaseCopyTest, ADatabaseWithoutTheRegistersTableIsRefused)
{
    const std::string backup = folder.File("other.bak");
    TSQLiteDatabase(backup).Execute("create table other(x)");
    ExpectRefused(backup);
}

}  // namespace
}  // namespace quorva

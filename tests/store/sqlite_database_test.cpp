#include "register/store/sqlite_database.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "register/store/sqlite_exception.h"
#include "tests/support/message_of.h"
#include "tests/support/temp_folder.h"

namespace {

class SQLiteDatabaseTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string dbPath = folder.File("test.db");
};

TEST_F(SQLiteDatabaseTest, OpeningCreatesTheFile)
{
    { TSQLiteDatabase db(dbPath); }
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(dbPath)));
}

TEST_F(SQLiteDatabaseTest, OpeningInAMissingFolderNamesTheFileAndTheReason)
{
    const std::string path = folder.File("no such folder/test.db");
    EXPECT_EQ(MessageOf([&] { TSQLiteDatabase db(path); }),
              "Failed to open database \"" + path + "\" : unable to open database file");
}

TEST_F(SQLiteDatabaseTest, OpensAFileWithAChineseName)
{
    const std::string path = folder.File("收文登记.db");
    {
        TSQLiteDatabase db(path);
        db.Execute("create table t (a)");
    }
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(path)));
    TSQLiteDatabase again(path);
    EXPECT_TRUE(again.HasTable("t"));
}

TEST_F(SQLiteDatabaseTest, EmptyOrBlankStatementIsRefused)
{
    TSQLiteDatabase db(dbPath);
    EXPECT_EQ(MessageOf([&] { db.Execute(""); }), "Could not prepare SQL statement");
    EXPECT_EQ(MessageOf([&] { db.Execute("   -- only a comment"); }), "Could not prepare SQL statement");
    EXPECT_EQ(MessageOf([&] { db.Query(" "); }), "Could not prepare SQL statement");
}

TEST_F(SQLiteDatabaseTest, SyntaxErrorGivesTheDetailedText)
{
    TSQLiteDatabase db(dbPath);
    EXPECT_EQ(MessageOf([&] { db.Execute("SELEC 1"); }),
              "Error executing SQL.\rError [1]: SQL error or missing database.\r\"SELEC 1\": near \"SELEC\": syntax error");
}

TEST_F(SQLiteDatabaseTest, ConstraintViolationGivesTheStepError)
{
    TSQLiteDatabase db(dbPath);
    db.Execute("create table t (id INTEGER PRIMARY KEY)");
    db.Execute("insert into t values (1)");
    EXPECT_EQ(MessageOf([&] { db.Execute("insert into t values (1)"); }),
              "Error executing SQL statement.\rError [19]: Abort due to contraint violation.\r"
              "\"insert into t values (1)\": UNIQUE constraint failed: t.id");
}

TEST_F(SQLiteDatabaseTest, ExecuteRunsOnlyTheFirstStatement)
{
    TSQLiteDatabase db(dbPath);
    db.Execute("create table a (x); create table b (x);");
    EXPECT_TRUE(db.HasTable("a"));
    EXPECT_FALSE(db.HasTable("b"));
}

TEST_F(SQLiteDatabaseTest, HasTableIgnoresCase)
{
    TSQLiteDatabase db(dbPath);
    db.Execute("CREATE TABLE Quorva (x)");
    EXPECT_TRUE(db.HasTable("Quorva"));
    EXPECT_TRUE(db.HasTable("quorva"));
    EXPECT_TRUE(db.HasTable("QUORVA"));
    EXPECT_FALSE(db.HasTable("Quorv"));
}

TEST_F(SQLiteDatabaseTest, HasTableTakesAQuoteInTheNameAsText)
{
    TSQLiteDatabase db(dbPath);
    db.Execute("CREATE TABLE t (x)");
    EXPECT_FALSE(db.HasTable("x' or '1'='1"));
}

TEST_F(SQLiteDatabaseTest, BoundValuesAreStoredAsTheTextTheyAre)
{
    TSQLiteDatabase db(dbPath);
    db.Execute("create table t (a VARCHAR (255), b INTEGER)");
    const std::string tricky = "他说\"好\"; drop table t; -- 'x' % _ wh ID";
    db.Execute(SqlStatement{"insert into t (a, b) values (?, ?)", {tricky, std::int64_t{42}}});
    auto result = db.Query(SqlStatement{"select * from t where a=?", {tricky}});
    ASSERT_EQ(result->CountRows(), 1);
    EXPECT_EQ(result->TextAt(result->ColumnIndex("a")), tricky);
    EXPECT_EQ(result->Int64At(result->ColumnIndex("b")), 42);
}

TEST_F(SQLiteDatabaseTest, AMissingValueIsRefusedBeforeAnythingRuns)
{
    TSQLiteDatabase db(dbPath);
    db.Execute("create table t (a)");
    EXPECT_EQ(MessageOf([&] { db.Execute(SqlStatement{"insert into t values (?)", {}}); }),
              "Wrong number of values for SQL statement \"insert into t values (?)\"");
    EXPECT_EQ(db.Query("select * from t")->CountRows(), 0);
}

// Another program holds the file locked. The second connection has read
// the schema before, so the lock is met when the statement steps.
class LockedDatabaseTest : public SQLiteDatabaseTest {
protected:
    void SetUp() override
    {
        holder = std::make_unique<TSQLiteDatabase>(dbPath);
        holder->Execute("create table t (a)");
        other = std::make_unique<TSQLiteDatabase>(dbPath);
        other->Query("select * from t");
        holder->Execute("BEGIN EXCLUSIVE");
    }
    void TearDown() override { holder->Execute("COMMIT"); }
    std::unique_ptr<TSQLiteDatabase> holder;
    std::unique_ptr<TSQLiteDatabase> other;
};

TEST_F(LockedDatabaseTest, QueryFailsAtOnceWithThePlainText)
{
    EXPECT_EQ(MessageOf([&] { other->Query("select * from t"); }), "Could not prepare SQL statement");
}

TEST_F(LockedDatabaseTest, StatementFailsAtOnceWithCodeFive)
{
    EXPECT_EQ(MessageOf([&] { other->Execute("insert into t values (1)"); }),
              "Error executing SQL statement.\rError [5]: The database file is locked.\r"
              "\"insert into t values (1)\": database is locked");
}

TEST_F(LockedDatabaseTest, AFreshConnectionAlsoFailsAtOnceWithCodeFive)
{
    TSQLiteDatabase fresh(dbPath);
    const std::string message = MessageOf([&] { fresh.Execute("insert into t values (1)"); });
    EXPECT_NE(message.find("Error [5]: The database file is locked.\r"), std::string::npos) << message;
}

TEST_F(SQLiteDatabaseTest, BackupIntoANewFileCopiesEverything)
{
    const std::string copyPath = folder.File("copy.db.bak");
    {
        TSQLiteDatabase source(dbPath);
        source.Execute("create table t (a VARCHAR (255))");
        for (int i = 0; i < 500; ++i) source.Execute(SqlStatement{"insert into t values (?)", {std::string(100, 'x')}});
        TSQLiteDatabase target(copyPath);
        EXPECT_EQ(source.BackupTo(target), 101);
    }
    TSQLiteDatabase copy(copyPath);
    EXPECT_EQ(copy.Query("select * from t")->CountRows(), 500);
}

TEST_F(SQLiteDatabaseTest, BackupOfAnUnknownDatabaseNameCannotStart)
{
    TSQLiteDatabase source(dbPath);
    TSQLiteDatabase target(folder.File("copy.db"));
    EXPECT_EQ(MessageOf([&] { source.BackupTo(target, "main", "nosuch"); }), "Could not initialize backup");
}

TEST_F(SQLiteDatabaseTest, BackupWorksFromMemory)
{
    TSQLiteDatabase memory(":memory:");
    memory.Execute("create table t (a)");
    memory.Execute("insert into t values ('kept')");
    {
        TSQLiteDatabase target(dbPath);
        EXPECT_EQ(memory.BackupTo(target, "main", "main"), 101);
    }
    TSQLiteDatabase copy(dbPath);
    EXPECT_EQ(copy.Query("select * from t")->CountRows(), 1);
}

}  // namespace

#include "register/core/storage/server_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "register/core/deadlines/deadline_table.h"
#include "register/core/records/document_table.h"
#include "register/core/storage/file_store.h"
#include "register/core/storage/record_copy.h"
#include "register/odbc/odbc_connection.h"
#include "register/store/sqlite_database.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_store.h"

// The server back end on the test server: what only it can get wrong.
namespace quorva {
namespace {

const std::string kLongMemo = std::string(300, 'x') + "𠀋" + std::string(700, 'y');

// A file register whose rows hold what a copy may lose: characters outside
// the BMP, a value longer than a block's buffer, NULL, and a gap in the IDs.
std::string FileRegister(const TempFolder& folder)
{
    const std::string path = folder.File("Quorva.db");
    TSQLiteDatabase db(path);
    EnsureDocumentTable(db);
    for (int i = 0; i < 300; ++i) {
        db.Execute({"INSERT INTO Quorva(ID, wjbt, ybyj, bz) VALUES (?, ?, ?, ?)",
                    {std::int64_t{i * 2 + 1}, "关于𠀋的通知" + std::to_string(i), i == 7 ? kLongMemo : "", SqlNull{}}});
    }
    FileStoreConnection file(db);
    SaveOwnDeadline(file, 15, CivilDate{2026, 12, 1});
    return path;
}

// Every value of every record, with NULL told apart from empty text.
std::vector<std::string> Dump(StoreConnection& connection)
{
    std::vector<std::string> values;
    auto result = connection.Query("SELECT * FROM Quorva" + connection.Dialect().RecordOrder());
    for (int r = 0; r < result->CountRows(); ++r) {
        for (int c = 0; c < kColumnCount; ++c) {
            const int index = result->ColumnIndex(ColumnName(static_cast<Column>(c)));
            std::string text = result->IsNullOf(r, index) ? "<NULL>" : "";
            result->AppendTextOf(r, index, text);
            values.push_back(text);
        }
    }
    return values;
}

class ServerStoreTest : public ::testing::Test {
protected:
    void SetUp() override { server = std::make_unique<ServerStore>(location, PathToUtf8(folder.path())); }

    std::string Failure(ServerLocation changed)
    {
        try {
            ServerStore(changed, "").Open();
        } catch (const std::exception& error) {
            return error.what();
        }
        return "<connected>";
    }

    TempFolder folder;
    ServerLocation location = EmptiedTestServer();
    std::unique_ptr<ServerStore> server;
};

TEST_F(ServerStoreTest, ARegisterMovedToTheServerAndBackedUpThereRestoresIntoAFileValueForValue)
{
    const std::string file = FileRegister(folder);
    const UploadCounts counts = UploadToServer(file, *server);
    EXPECT_EQ(counts.file, 300);
    EXPECT_EQ(counts.server, 300);
    EXPECT_EQ(server->Open()->InsertRecord(InsertRecordStatement({})), 600) << "new IDs follow the copied ones";
    server->Open()->Execute("DELETE FROM Quorva WHERE ID = 600");

    const std::string backup = folder.File("server.bak");
    ASSERT_TRUE(server->Backup(backup));
    const std::string restored = folder.File("restored.db");
    ASSERT_TRUE(FileStore(restored).Restore(backup, "20261208-100000", {}));
    FileStoreConnection original(file);
    FileStoreConnection copy(restored);
    EXPECT_EQ(Dump(copy), Dump(original));
    EXPECT_EQ(Dump(*server->Open()), Dump(original));
    EXPECT_EQ(ReadOwnDeadlines(copy).at(15).ToCompact(), "20261201") << "deadlines travel with the records";
}

TEST_F(ServerStoreTest, AnUploadRefusesATableThatIsNotEmptyAndAddsNothing)
{
    const std::string file = FileRegister(folder);
    auto connection = server->Open();
    EnsureDocumentTable(*connection);
    connection->InsertRecord(InsertRecordStatement({}));
    EXPECT_THROW(UploadToServer(file, *server), std::runtime_error);
    EXPECT_EQ(CountRecords(*server->Open()), 1);
}

TEST_F(ServerStoreTest, ARestoreReplacesTheServersRecordsAndKeepsThemInASafetyCopyFirst)
{
    UploadToServer(FileRegister(folder), *server);
    const std::string backup = folder.File("one.bak");
    {
        TSQLiteDatabase db(backup);
        EnsureDocumentTable(db);
        db.Execute(InsertRecordStatement({}));
    }
    const std::optional<std::string> safety = server->Restore(backup, "20261208-100000", {});
    ASSERT_TRUE(safety);
    EXPECT_EQ(CountRecords(*server->Open()), 1);
    EXPECT_TRUE(ReadOwnDeadlines(*server->Open()).empty()) << "a backup from before deadlines brings none";
    FileStoreConnection kept(*safety);
    EXPECT_EQ(CountRecords(kept), 300);
    EXPECT_EQ(ReadOwnDeadlines(kept).size(), 1u);
    const std::string notADatabase = folder.File("text.bak");
    std::ofstream(notADatabase) << "not a register";
    EXPECT_FALSE(server->Restore(notADatabase, "20261208-100001", {})) << "a refused backup changes nothing";
    EXPECT_EQ(CountRecords(*server->Open()), 1);
}

TEST_F(ServerStoreTest, EachConnectionFailureNamesTheServerAndTheDriversReason)
{
    const struct {
        void (*change)(ServerLocation&);
        const char* reason;
    } cases[] = {
        // The driver's own words are in the machine's language; what they
        // name is not.
        {[](ServerLocation& s) { s.password += "x"; }, "\"quorva_clerk\""},
        {[](ServerLocation& s) { s.port = "1"; }, "[08001]"},
        {[](ServerLocation& s) { s.database = "nosuch"; }, "\"nosuch\""},
        {[](ServerLocation& s) { s.driver = "No Such Driver"; }, "没有安装 ODBC 驱动程序“No Such Driver”"},
    };
    for (const auto& c : cases) {
        ServerLocation changed = location;
        c.change(changed);
        const std::string text = Failure(changed);
        EXPECT_NE(text.find("数据库服务器 " + ServerName(changed)), std::string::npos) << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
    }
}

TEST_F(ServerStoreTest, ALostConnectionFailsItsCommandAndTheNextCommandConnectsAgain)
{
    auto connection = server->Open();
    EnsureDocumentTable(*connection);
    const std::string pid = connection->Query("SELECT pg_backend_pid()")->TextAt(0);
    ServerLocation superuser = location;
    superuser.user = "postgres";
    superuser.password = std::getenv("QUORVA_PG_SUPERUSER_PASSWORD");
    OdbcConnection(ConnectionString(superuser), 10).Execute({"SELECT pg_terminate_backend(" + pid + ")", {}});
    EXPECT_THROW(connection->Query("SELECT 1"), std::runtime_error);
    EXPECT_EQ(CountRecords(*server->Open()), 0);
}

}  // namespace
}  // namespace quorva

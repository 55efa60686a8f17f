#pragma once

#include <memory>
#include <string>
#include <vector>

#include "register/core/storage/store.h"

class OdbcConnection;

// The register on a PostgreSQL server, reached through the machine's ODBC
// driver for it. One connection is kept between commands, because a server
// login costs far more than a command; a connection the driver reports lost
// is dropped and the next command connects again.
namespace quorva {

struct ServerLocation {
    std::string driver;
    std::string host;
    std::string port;
    std::string database;
    std::string user;
    std::string password;
};

// The ODBC connection string; values that hold a separator are braced.
std::string ConnectionString(const ServerLocation& server);

// How the server is named in messages: host:port/database.
std::string ServerName(const ServerLocation& server);

const StoreDialect& ServerDialect();

class ServerStore final : public Store {
public:
    // `sideFolder` holds the register's own files (the settings file's folder).
    ServerStore(ServerLocation server, std::string sideFolder);
    ~ServerStore() override;

    StoreKind Kind() const override { return StoreKind::Server; }
    std::unique_ptr<StoreConnection> Open() override;
    std::string Name() const override { return ServerName(server_); }
    std::string SideFolder() const override { return sideFolder_; }
    std::string BackupName() const override;
    bool Exists() const override { return true; }
    bool Backup(const std::string& backupPath) override;
    std::optional<std::string> Restore(const std::string& backupPath, const std::string& stamp,
                                       const ChangeAuthor& author) override;

    // Drops the kept connection; the next command connects again.
    void Disconnect();

private:
    OdbcConnection& Connected();

    ServerLocation server_;
    std::string sideFolder_;
    std::unique_ptr<OdbcConnection> connection_;
};

// Copies every record of a file register onto the server, into an empty
// table, in one transaction. Raises when the server's table is not empty.
struct UploadCounts {
    std::int64_t file = 0;
    std::int64_t server = 0;
};
UploadCounts UploadToServer(const std::string& databasePath, Store& server);

// The ODBC drivers installed on this machine.
std::vector<std::string> InstalledServerDrivers();

// What the clerk is told after an upload; the counts must agree.
std::string UploadReport(const UploadCounts& counts, const std::string& serverName);

inline constexpr const char* kDriverMissing = "本机没有安装 ODBC 驱动程序“";
inline constexpr const char* kConnectionWorks = "连接成功：";
inline constexpr const char* kConnectionFailed = "连接失败：";
inline constexpr const char* kUploadFailed = "上传失败：";
inline constexpr const char* kServerNotEmpty = "服务器上的收文登记表中已有记录，不能上传。请先选择一个空的数据库。";

}  // namespace quorva

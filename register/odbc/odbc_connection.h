#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "register/odbc/odbc_handle.h"
#include "register/store/sql_statement.h"
#include "register/store/sqlite_table.h"

// One connection through ODBC. Values are always bound, text as UTF-16
// (SQL_C_WCHAR), so every character reaches the server as typed whatever the
// machine's code page; results are read a block of rows at a time into the
// same compact table the SQLite layer returns.
class OdbcConnection {
public:
    // A full connection string ("Driver={…};Server=…"); the driver never
    // prompts. `loginTimeoutSeconds` bounds the wait for a server that does
    // not answer.
    OdbcConnection(const std::string& connectionString, int loginTimeoutSeconds);
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    void Execute(const SqlStatement& statement);
    std::unique_ptr<TSQLiteTable> Query(const SqlStatement& statement);

    // Statements until Commit or Rollback form one transaction.
    void Begin();
    void Commit();
    void Rollback();

    // True once the driver reported the link to the server lost.
    bool lost() const { return lost_; }

private:
    class Statement;
    [[noreturn]] void Raise(SQLSMALLINT type, SQLHANDLE handle, const std::string& context);
    void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const std::string& context);
    void EndTransaction(SQLSMALLINT completion);

    OdbcEnvironmentHandle environment_;
    OdbcConnectionHandle connection_;
    bool connected_ = false;
    bool lost_ = false;
};

// The drivers installed on this machine, by name.
std::vector<std::string> InstalledOdbcDrivers();

// The diagnostic records of a handle as one text: "[SQLSTATE] message", one
// record per line; the state of the first record in `firstState`.
std::string OdbcDiagnostics(SQLSMALLINT type, SQLHANDLE handle, std::string* firstState = nullptr);

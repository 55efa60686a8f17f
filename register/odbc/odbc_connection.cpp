#include "register/odbc/odbc_connection.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "register/core/text/text_encoding.h"
#include "register/odbc/odbc_exception.h"

namespace {

// Rows fetched per call: few calls for a whole register, little memory.
constexpr SQLULEN kRowsPerBlock = 256;
// Most values are short; a longer one is read again alone (see ReadLongCell).
constexpr std::size_t kBoundTextUnits = 256;
constexpr SQLSMALLINT kMaxNameUnits = 128;
constexpr SQLSMALLINT kMaxMessageUnits = 1024;

SQLWCHAR* WideOf(std::u16string& text)
{
    return reinterpret_cast<SQLWCHAR*>(text.data());
}

std::u16string NarrowUnits(const SQLWCHAR* text, std::size_t units)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text), units);
}

// Connection exceptions (class 08) and a server that shut down under us
// leave a connection that can never work again.
bool MeansConnectionLost(const std::string& state)
{
    return state.compare(0, 2, "08") == 0 || state == "57P01" || state == "57P02" || state == "57P03";
}

ColumnKind KindOfSqlType(SQLSMALLINT type)
{
    switch (type) {
    case SQL_BIGINT:
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_TINYINT:
    case SQL_BIT: return ColumnKind::Integer;
    case SQL_DOUBLE:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_NUMERIC:
    case SQL_DECIMAL: return ColumnKind::Float;
    default: return ColumnKind::Text;
    }
}

}  // namespace

std::string OdbcDiagnostics(SQLSMALLINT type, SQLHANDLE handle, std::string* firstState)
{
    std::string text;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLWCHAR message[kMaxMessageUnits] = {};
        SQLINTEGER nativeError = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc =
            SQLGetDiagRecW(type, handle, record, state, &nativeError, message, kMaxMessageUnits, &length);
        if (!SQL_SUCCEEDED(rc)) break;
        const std::string stateText = Utf16ToUtf8(NarrowUnits(state, 5));
        if (record == 1 && firstState) *firstState = stateText;
        const std::size_t units = std::min<std::size_t>(std::max<SQLSMALLINT>(length, 0), kMaxMessageUnits - 1);
        std::string line = Utf16ToUtf8(NarrowUnits(message, units));
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!text.empty()) text += "\n";
        text += "[" + stateText + "] " + line;
    }
    return text;
}

void OdbcConnection::Raise(SQLSMALLINT type, SQLHANDLE handle, const std::string& context)
{
    std::string state;
    std::string text = OdbcDiagnostics(type, handle, &state);
    if (text.empty()) text = "ODBC call failed";
    const bool lost = MeansConnectionLost(state);
    if (lost) lost_ = true;
    throw EOdbcException(context.empty() ? text : text + "\r\"" + context + "\"", state, lost);
}

void OdbcConnection::Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const std::string& context)
{
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) Raise(type, handle, context);
}

OdbcConnection::OdbcConnection(const std::string& connectionString, int loginTimeoutSeconds)
{
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, environment_.receive()))) {
        throw EOdbcException("ODBC is not available on this machine", "", false);
    }
    SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    Check(SQLAllocHandle(SQL_HANDLE_DBC, environment_.get(), connection_.receive()), SQL_HANDLE_ENV,
          environment_.get(), "");
    SQLSetConnectAttrW(connection_.get(), SQL_ATTR_LOGIN_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(loginTimeoutSeconds)), 0);
    std::u16string wide = Utf8ToUtf16(connectionString);
    const SQLRETURN rc = SQLDriverConnectW(connection_.get(), nullptr, WideOf(wide), SQL_NTS, nullptr, 0, nullptr,
                                           SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) Raise(SQL_HANDLE_DBC, connection_.get(), "");
    connected_ = true;
}

OdbcConnection::~OdbcConnection()
{
    if (connected_) SQLDisconnect(connection_.get());
}

// A statement handle with its bound values, which must stay in place until
// the statement has run.
class OdbcConnection::Statement {
public:
    Statement(OdbcConnection& owner, const SqlStatement& statement) : owner_(owner), text_(statement.text)
    {
        owner_.Check(SQLAllocHandle(SQL_HANDLE_STMT, owner_.connection_.get(), handle_.receive()), SQL_HANDLE_DBC,
                     owner_.connection_.get(), text_);
        BindValues(statement.values);
        std::u16string wide = Utf8ToUtf16(statement.text);
        Check(SQLExecDirectW(get(), WideOf(wide), SQL_NTS));
    }

    SQLHSTMT get() const { return handle_.get(); }
    void Check(SQLRETURN rc) { owner_.Check(rc, SQL_HANDLE_STMT, get(), text_); }

private:
    void BindValues(const std::vector<SqlValue>& values)
    {
        texts_.resize(values.size());
        numbers_.resize(values.size());
        indicators_.resize(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            const auto number = static_cast<SQLUSMALLINT>(i + 1);
            if (const auto* text = std::get_if<std::string>(&values[i])) {
                texts_[i] = Utf8ToUtf16(*text);
                indicators_[i] = static_cast<SQLLEN>(texts_[i].size() * sizeof(char16_t));
                BindText(number, i);
            } else if (const auto* integer = std::get_if<std::int64_t>(&values[i])) {
                numbers_[i] = *integer;
                indicators_[i] = 0;
                Check(SQLBindParameter(get(), number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &numbers_[i],
                                       0, &indicators_[i]));
            } else {
                indicators_[i] = SQL_NULL_DATA;
                BindText(number, i);
            }
        }
    }

    void BindText(SQLUSMALLINT number, std::size_t i)
    {
        // A column size of 0 is refused by some drivers, even for "".
        const SQLULEN size = std::max<SQLULEN>(texts_[i].size(), 1);
        Check(SQLBindParameter(get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, size, 0,
                               WideOf(texts_[i]), static_cast<SQLLEN>(texts_[i].size() * sizeof(char16_t)),
                               &indicators_[i]));
    }

    OdbcConnection& owner_;
    std::string text_;
    OdbcStatementHandle handle_;
    std::vector<std::u16string> texts_;
    std::vector<std::int64_t> numbers_;
    std::vector<SQLLEN> indicators_;
};

void OdbcConnection::Execute(const SqlStatement& statement)
{
    Statement run(*this, statement);
}

namespace {

// The bound arrays of one result column.
struct BoundColumn {
    ColumnKind kind;
    std::vector<std::int64_t> integers;
    std::vector<double> reals;
    std::vector<SQLWCHAR> texts;
    std::vector<SQLLEN> indicators;

    SQLLEN TextBytes() const { return static_cast<SQLLEN>((kBoundTextUnits + 1) * sizeof(SQLWCHAR)); }
    const SQLWCHAR* TextOf(SQLULEN row) const { return texts.data() + row * (kBoundTextUnits + 1); }
    bool Truncated(SQLULEN row) const
    {
        return kind == ColumnKind::Text && (indicators[row] == SQL_NO_TOTAL || indicators[row] >= TextBytes());
    }
};

// Reads a result a block of rows at a time into a compact table.
class BlockReader {
public:
    BlockReader(SQLHSTMT statement, std::function<void(SQLRETURN)> check) : statement_(statement), check_(check) {}

    std::unique_ptr<TSQLiteTable> Read()
    {
        SQLSMALLINT count = 0;
        check_(SQLNumResultCols(statement_, &count));
        if (count == 0) return TTableBuilder({}, {}).Finish();
        std::vector<std::string> names;
        std::vector<ColumnKind> kinds;
        for (SQLUSMALLINT c = 1; c <= count; ++c) Describe(c, names, kinds);
        TTableBuilder builder(names, kinds);
        Bind(kinds);
        SQLULEN fetched = 0;
        std::vector<SQLUSMALLINT> status(kRowsPerBlock);
        check_(SQLSetStmtAttrW(statement_, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN),
                               0));
        check_(SQLSetStmtAttrW(statement_, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kRowsPerBlock), 0));
        check_(SQLSetStmtAttrW(statement_, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0));
        check_(SQLSetStmtAttrW(statement_, SQL_ATTR_ROW_STATUS_PTR, status.data(), 0));
        for (;;) {
            const SQLRETURN rc = SQLFetch(statement_);
            if (rc == SQL_NO_DATA) break;
            check_(rc);
            for (SQLULEN row = 0; row < fetched; ++row) {
                if (status[row] == SQL_ROW_ERROR) check_(SQL_ERROR);
                AddRow(builder, row);
            }
        }
        return builder.Finish();
    }

private:
    void Describe(SQLUSMALLINT column, std::vector<std::string>& names, std::vector<ColumnKind>& kinds)
    {
        SQLWCHAR name[kMaxNameUnits] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        check_(SQLDescribeColW(statement_, column, name, kMaxNameUnits, &nameLength, &type, &size, &digits,
                               &nullable));
        const auto units = std::min<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0), kMaxNameUnits - 1);
        names.push_back(Utf16ToUtf8(NarrowUnits(name, units)));
        kinds.push_back(KindOfSqlType(type));
    }

    void Bind(const std::vector<ColumnKind>& kinds)
    {
        columns_.resize(kinds.size());
        for (std::size_t c = 0; c < kinds.size(); ++c) {
            BoundColumn& column = columns_[c];
            column.kind = kinds[c];
            column.indicators.resize(kRowsPerBlock);
            const auto number = static_cast<SQLUSMALLINT>(c + 1);
            if (column.kind == ColumnKind::Integer) {
                column.integers.resize(kRowsPerBlock);
                check_(SQLBindCol(statement_, number, SQL_C_SBIGINT, column.integers.data(), 0,
                                  column.indicators.data()));
            } else if (column.kind == ColumnKind::Float) {
                column.reals.resize(kRowsPerBlock);
                check_(SQLBindCol(statement_, number, SQL_C_DOUBLE, column.reals.data(), 0, column.indicators.data()));
            } else {
                column.texts.resize(kRowsPerBlock * (kBoundTextUnits + 1));
                check_(SQLBindCol(statement_, number, SQL_C_WCHAR, column.texts.data(), column.TextBytes(),
                                  column.indicators.data()));
            }
        }
    }

    void AddRow(TTableBuilder& builder, SQLULEN row)
    {
        // Every text of the row first, into one buffer, so the builder's
        // pointers into it stay valid until the row is stored.
        rowText_.clear();
        ends_.assign(columns_.size(), 0);
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            const BoundColumn& column = columns_[c];
            if (column.kind == ColumnKind::Text && column.indicators[row] != SQL_NULL_DATA) {
                if (column.Truncated(row)) {
                    AppendUtf16AsUtf8(ReadLongCell(row, c), rowText_);
                } else {
                    const std::size_t units = static_cast<std::size_t>(column.indicators[row]) / sizeof(SQLWCHAR);
                    AppendUtf16AsUtf8(NarrowUnits(column.TextOf(row), units), rowText_);
                }
            }
            ends_[c] = rowText_.size();
        }
        std::size_t begin = 0;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            const BoundColumn& column = columns_[c];
            const int at = static_cast<int>(c);
            if (column.indicators[row] == SQL_NULL_DATA) {
                builder.SetNull(at);
            } else if (column.kind == ColumnKind::Integer) {
                builder.SetInteger(at, column.integers[row]);
            } else if (column.kind == ColumnKind::Float) {
                builder.SetFloat(at, column.reals[row]);
            } else {
                builder.SetText(at, rowText_.data() + begin, ends_[c] - begin);
            }
            begin = ends_[c];
        }
        builder.EndRow();
    }

    // A value longer than its bound buffer, read whole with the cursor on its
    // row.
    std::u16string ReadLongCell(SQLULEN row, std::size_t column)
    {
        check_(SQLSetPos(statement_, static_cast<SQLSETPOSIROW>(row + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE));
        std::u16string text;
        std::vector<SQLWCHAR> part(4096);
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(statement_, static_cast<SQLUSMALLINT>(column + 1), SQL_C_WCHAR,
                                            part.data(), static_cast<SQLLEN>(part.size() * sizeof(SQLWCHAR)),
                                            &indicator);
            if (rc == SQL_NO_DATA || indicator == SQL_NULL_DATA) break;
            check_(rc);
            std::size_t units = part.size() - 1;
            if (indicator != SQL_NO_TOTAL && static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) < units) {
                units = static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR);
            }
            text += NarrowUnits(part.data(), units);
            if (rc == SQL_SUCCESS) break;
        }
        return text;
    }

    SQLHSTMT statement_;
    std::function<void(SQLRETURN)> check_;
    std::vector<BoundColumn> columns_;
    std::string rowText_;
    std::vector<std::size_t> ends_;
};

}  // namespace

std::unique_ptr<TSQLiteTable> OdbcConnection::Query(const SqlStatement& statement)
{
    Statement run(*this, statement);
    return BlockReader(run.get(), [&run](SQLRETURN rc) { run.Check(rc); }).Read();
}

void OdbcConnection::Begin()
{
    Check(SQLSetConnectAttrW(connection_.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                             SQL_IS_UINTEGER),
          SQL_HANDLE_DBC, connection_.get(), "");
}

void OdbcConnection::EndTransaction(SQLSMALLINT completion)
{
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, connection_.get(), completion);
    SQLSetConnectAttrW(connection_.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                       SQL_IS_UINTEGER);
    Check(rc, SQL_HANDLE_DBC, connection_.get(), "");
}

void OdbcConnection::Commit()
{
    EndTransaction(SQL_COMMIT);
}

void OdbcConnection::Rollback()
{
    EndTransaction(SQL_ROLLBACK);
}

std::vector<std::string> InstalledOdbcDrivers()
{
    std::vector<std::string> drivers;
    OdbcEnvironmentHandle environment;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, environment.receive()))) return drivers;
    SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLWCHAR name[256] = {};
        SQLWCHAR attributes[1024] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc = SQLDriversW(environment.get(), direction, name, 256, &nameLength, attributes, 1024,
                                         &attributesLength);
        if (!SQL_SUCCEEDED(rc)) break;
        const auto units = std::min<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0), 255);
        drivers.push_back(Utf16ToUtf8(NarrowUnits(name, units)));
        direction = SQL_FETCH_NEXT;
    }
    return drivers;
}

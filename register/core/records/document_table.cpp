#include "register/core/records/document_table.h"

#include <memory>
#include <set>

#include "register/core/storage/file_store.h"
#include "register/store/sqlite_database.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

const char* const kColumnNames[kColumnCount] = {
    "ID",   "swrq", "lwdw",   "wz",   "wh",  "mmdj", "jjcd", "wjbt", "swzh", "ybyj", "fgldpx", "zyldpx", "bljg", "tmbh",
    "zsdw", "fwrq", "fbcq", "tmzzdw", "zzrq", "zdyzd", "cdh", "ybj",  "lrr",  "bz",   "ycp",    "cpr",    "bwh",
};

const char* const kCreateTablePieces[] = {
    "CREATE TABLE Quorva ([ID] INTEGER PRIMARY KEY,[swrq] VARCHAR (255),",
    "[lwdw] VARCHAR (255),[wz] VARCHAR (255),[wh] VARCHAR (255),",
    "[mmdj] VARCHAR (255),[jjcd] VARCHAR (255),[wjbt] VARCHAR (255),",
    "[swzh] VARCHAR (255),[ybyj] VARCHAR (255),[fgldpx] VARCHAR (255),",
    "[zyldpx] VARCHAR (255),[bljg] VARCHAR (255),[tmbh] VARCHAR (255),",
    "[zsdw] VARCHAR (255),[fwrq] VARCHAR (255),[fbcq] VARCHAR (255),",
    "[tmzzdw] VARCHAR (255),[zzrq] VARCHAR (255),[zdyzd] VARCHAR (255),",
    "[cdh] VARCHAR (255),[ybj] VARCHAR (255),[lrr] VARCHAR (255),",
    "[bz] VARCHAR (255), [ycp] VARCHAR (255), [cpr]  VARCHAR (255), [bwh]  VARCHAR (255));",
};

const char* const kCreateIndex = "CREATE INDEX Quorvawh ON [Quorva]([wh]);";
// PRAGMA table_info gives a column's name second.
constexpr int kTableInfoName = 1;

// Column names are the same in any ASCII capitalisation.
std::string AsciiLower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
}

}  // namespace

const char* ColumnName(Column column)
{
    return kColumnNames[static_cast<int>(column)];
}

bool IsYes(std::string_view flag)
{
    return flag == kYes;
}

std::string CreateTableStatement()
{
    std::string statement;
    for (const char* piece : kCreateTablePieces) statement += piece;
    return statement;
}

std::string CreateIndexStatement()
{
    return kCreateIndex;
}

void CreateDocumentTable(StoreConnection& store)
{
    for (const std::string& statement : store.Dialect().CreateRecordTable()) store.Execute(statement);
}

void EnsureDocumentTable(StoreConnection& store)
{
    if (!store.HasTable(kTableName)) CreateDocumentTable(store);
}

void CreateDocumentTable(TSQLiteDatabase& db)
{
    FileStoreConnection store(db);
    CreateDocumentTable(store);
}

void EnsureDocumentTable(TSQLiteDatabase& db)
{
    FileStoreConnection store(db);
    EnsureDocumentTable(store);
}

bool HasEveryColumn(TSQLiteDatabase& db)
{
    std::set<std::string> present;
    const std::unique_ptr<TSQLiteTable> columns = db.Query(std::string("PRAGMA table_info(") + kTableName + ")");
    for (; !columns->AtEnd(); columns->MoveNext()) present.insert(AsciiLower(columns->TextAt(kTableInfoName)));
    for (const char* name : kColumnNames) {
        if (!present.count(AsciiLower(name))) return false;
    }
    return true;
}

std::string ApplyBracketRule(std::string_view reference)
{
    std::string text(reference);
    ReplaceAll(text, "[", "〔");
    ReplaceAll(text, "]", "〕");
    return text;
}

}  // namespace quorva

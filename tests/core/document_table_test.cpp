#include "register/core/records/document_table.h"

#include <gtest/gtest.h>

#include "register/core/records/document_statements.h"
#include "register/core/records/record_row.h"
#include "register/store/sqlite_database.h"

namespace quorva {
namespace {

TEST(DocumentTable, CreateStatementIsTheNinePiecesJoined)
{
    const std::string statement = CreateTableStatement();
    EXPECT_EQ(statement.rfind("CREATE TABLE Quorva ([ID] INTEGER PRIMARY KEY,[swrq] VARCHAR (255),[lwdw]", 0), 0u);
    EXPECT_NE(statement.find("[zzrq] VARCHAR (255),[zdyzd] VARCHAR (255),[cdh]"), std::string::npos);
    const std::string last = "[bz] VARCHAR (255), [ycp] VARCHAR (255), [cpr]  VARCHAR (255), [bwh]  VARCHAR (255));";
    EXPECT_EQ(statement.substr(statement.size() - last.size()), last);
    EXPECT_EQ(CreateIndexStatement(), "CREATE INDEX Quorvawh ON [Quorva]([wh]);");
}

TEST(DocumentTable, EnsureCreatesTableAndIndexOnceWithColumnsInOrder)
{
    TSQLiteDatabase db(":memory:");
    EnsureDocumentTable(db);
    EnsureDocumentTable(db);
    auto index = db.Query("select name from sqlite_master where type='index' and tbl_name='Quorva'");
    ASSERT_EQ(index->CountRows(), 1);
    EXPECT_EQ(index->TextAt(0), "Quorvawh");
    auto columns = db.Query("pragma table_info(Quorva)");
    ASSERT_EQ(columns->CountRows(), kColumnCount);
    for (int c = 0; c < kColumnCount; ++c, columns->MoveNext()) {
        EXPECT_EQ(columns->TextAt(columns->ColumnIndex("name")), ColumnName(static_cast<Column>(c)));
    }
}

TEST(DocumentTable, ReservedColumnStaysNullAndIdsRestartAfterRecreation)
{
    TSQLiteDatabase db(":memory:");
    EnsureDocumentTable(db);
    RecordFields fields{};
    db.Execute(InsertRecordStatement(fields));
    db.Execute(InsertRecordStatement(fields));
    EXPECT_EQ(db.Query("select * from Quorva where zdyzd is null")->CountRows(), 2);
    db.Execute("DROP TABLE Quorva");
    CreateDocumentTable(db);
    db.Execute(InsertRecordStatement(fields));
    auto result = db.Query("SELECT * FROM Quorva");
    EXPECT_EQ(result->Int64At(result->ColumnIndex("ID")), 1);
}

TEST(DocumentTable, BracketRuleReplacesEveryPair)
{
    EXPECT_EQ(ApplyBracketRule("京政发[2015]12号"), "京政发〔2015〕12号");
    EXPECT_EQ(ApplyBracketRule("[a][b]]"), "〔a〕〔b〕〕");
    EXPECT_EQ(ApplyBracketRule("无括号"), "无括号");
}

TEST(DocumentTable, OnlyExactlyYesIsYes)
{
    EXPECT_TRUE(IsYes("是"));
    EXPECT_FALSE(IsYes("否"));
    EXPECT_FALSE(IsYes(""));
    EXPECT_FALSE(IsYes("是 "));
}

TEST(RecordRow, PositionsFollowTheListLayout)
{
    EXPECT_EQ(RowPosition(Column::swrq), 0);
    EXPECT_EQ(RowPosition(Column::swzh), 1);
    EXPECT_EQ(RowPosition(Column::bwh), 11);
    EXPECT_EQ(RowPosition(Column::bz), 24);
    EXPECT_EQ(RowPosition(Column::ID), 25);
    EXPECT_EQ(RowPosition(Column::zdyzd), -1);
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        if (column == Column::zdyzd) continue;
        EXPECT_EQ(kRecordRowColumns[RowPosition(column)], column);
    }
}

TEST(RecordRow, ReaderFillsTheRowByColumnName)
{
    TSQLiteDatabase db(":memory:");
    EnsureDocumentTable(db);
    RecordFields fields{};
    for (Column column : kWrittenColumns) fields[static_cast<int>(column)] = std::string("v-") + ColumnName(column);
    db.Execute(InsertRecordStatement(fields));
    db.Execute("update Quorva set ycp=null");
    auto result = db.Query("SELECT * FROM Quorva");
    RecordRowReader reader(*result);
    RecordRow row;
    reader.Read(*result, row);
    EXPECT_EQ(row.at(Column::swrq), "v-swrq");
    EXPECT_EQ(row.item(4), "v-wh");
    EXPECT_EQ(row.at(Column::ycp), "");
    EXPECT_EQ(row.at(Column::bz), "v-bz");
    EXPECT_EQ(row.at(Column::ID), "1");
}

}  // namespace
}  // namespace quorva

#include "register/store/sqlite_table.h"

#include <gtest/gtest.h>

#include "register/store/sqlite_database.h"
#include "register/store/sqlite_exception.h"
#include "tests/support/message_of.h"

namespace {

class SQLiteTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.Execute("create table t ([ID] INTEGER PRIMARY KEY, name VARCHAR (255), flag BOOLEAN, "
                   "amount REAL, n NUMERIC, note text, data BLOB)");
    }
    TSQLiteDatabase db{":memory:"};
};

TEST_F(SQLiteTableTest, AnEmptyResultHasNoColumnsToLookUp)
{
    auto result = db.Query("select * from t");
    EXPECT_EQ(result->CountRows(), 0);
    EXPECT_TRUE(result->AtEnd());
    EXPECT_FALSE(result->MoveNext());
    EXPECT_EQ(MessageOf([&] { result->ColumnIndex("ID"); }), "Field ID Not found. Empty dataset");
}

TEST_F(SQLiteTableTest, ColumnLookupIgnoresCaseAndNamesAnUnknownColumn)
{
    db.Execute("insert into t (name) values ('a')");
    auto result = db.Query("select * from t");
    EXPECT_EQ(result->ColumnIndex("id"), 0);
    EXPECT_EQ(result->ColumnIndex("Name"), 1);
    EXPECT_EQ(MessageOf([&] { result->ColumnIndex("wjbt"); }), "Field not found in dataset: wjbt");
}

TEST_F(SQLiteTableTest, KindsComeFromTheDeclaredTypesExactly)
{
    db.Execute("insert into t (name, flag, amount, n, note, data) values ('a', 1, 1.5, 2, 'x', x'00')");
    auto result = db.Query("select *, 7 as seven, 'e' as word, null as absent, 2.5 as half from t");
    const auto kind = [&](const char* name) { return result->KindAt(result->ColumnIndex(name)); };
    EXPECT_EQ(kind("ID"), ColumnKind::Integer);
    EXPECT_EQ(kind("name"), ColumnKind::Text);
    EXPECT_EQ(kind("flag"), ColumnKind::Integer);
    EXPECT_EQ(kind("amount"), ColumnKind::Float);
    EXPECT_EQ(kind("n"), ColumnKind::Float);
    EXPECT_EQ(kind("note"), ColumnKind::Text);
    EXPECT_EQ(kind("data"), ColumnKind::Blob);
    EXPECT_EQ(kind("seven"), ColumnKind::Integer);
    EXPECT_EQ(kind("word"), ColumnKind::Text);
    EXPECT_EQ(kind("absent"), ColumnKind::Null);
    EXPECT_EQ(kind("half"), ColumnKind::Float);
}

TEST_F(SQLiteTableTest, NullCellsReadAsEmptyOrZero)
{
    db.Execute("insert into t (name) values (null)");
    auto result = db.Query("select * from t where name is null");
    ASSERT_EQ(result->CountRows(), 1);
    const int flag = result->ColumnIndex("flag");
    EXPECT_EQ(result->TextAt(flag), "");
    EXPECT_EQ(result->Int64At(flag), 0);
    EXPECT_EQ(result->FloatAt(result->ColumnIndex("amount")), 0.0);
    EXPECT_EQ(result->TextAt(result->ColumnIndex("name")), "");
    EXPECT_FALSE(result->BlobAt(result->ColumnIndex("data")));
    EXPECT_FALSE(result->BlobAt(flag));
}

TEST_F(SQLiteTableTest, TheCursorStopsOnePastTheLastRow)
{
    db.Execute("insert into t (name) values ('first')");
    db.Execute("insert into t (name) values ('second')");
    auto result = db.Query("select * from t");
    const int name = result->ColumnIndex("name");
    EXPECT_EQ(result->TextAt(name), "first");
    EXPECT_TRUE(result->MoveNext());
    EXPECT_EQ(result->TextAt(name), "second");
    EXPECT_TRUE(result->MoveNext());
    EXPECT_TRUE(result->AtEnd());
    EXPECT_FALSE(result->MoveNext());
    EXPECT_EQ(MessageOf([&] { result->TextAt(name); }), "Table is at End of File");
    EXPECT_EQ(MessageOf([&] { result->Int64At(0); }), "Table is at End of File");
    EXPECT_EQ(MessageOf([&] { result->FloatAt(0); }), "Table is at End of File");
    EXPECT_EQ(MessageOf([&] { result->BlobAt(0); }), "Table is at End of File");
}

TEST_F(SQLiteTableTest, NumbersFromFloatsTruncateTowardZero)
{
    db.Execute("insert into t (amount) values (2.9)");
    db.Execute("insert into t (amount) values (-2.9)");
    db.Execute("insert into t (amount) values (1e300)");
    auto result = db.Query("select amount from t");
    EXPECT_EQ(result->Int64At(0), 2);
    EXPECT_DOUBLE_EQ(result->FloatAt(0), 2.9);
    EXPECT_EQ(result->TextAt(0), "2.9");
    result->MoveNext();
    EXPECT_EQ(result->Int64At(0), -2);
    result->MoveNext();
    EXPECT_EQ(result->Int64At(0), INT64_MAX);
    EXPECT_EQ(result->TextAt(0), "1e+300");
}

TEST_F(SQLiteTableTest, IntegersReadAsDecimalText)
{
    db.Execute("insert into t (ID, flag) values (-9007199254740993, 1)");
    auto result = db.Query("select * from t");
    EXPECT_EQ(result->TextAt(0), "-9007199254740993");
    EXPECT_EQ(result->Int64At(0), -9007199254740993LL);
    EXPECT_EQ(result->FloatAt(result->ColumnIndex("flag")), 1.0);
}

TEST_F(SQLiteTableTest, TextAndBlobColumnsRefuseTheWrongReader)
{
    db.Execute("insert into t (name, data) values ('12', x'01')");
    auto result = db.Query("select * from t");
    const int name = result->ColumnIndex("name");
    EXPECT_EQ(MessageOf([&] { result->Int64At(name); }), "Not an integer or numeric field");
    EXPECT_EQ(MessageOf([&] { result->FloatAt(name); }), "Not an integer or numeric field");
    EXPECT_EQ(MessageOf([&] { result->BlobAt(name); }), "Not a Blob field");
    EXPECT_EQ(MessageOf([&] { result->BlobAt(0); }), "Not a Blob field");
    const int data = result->ColumnIndex("data");
    EXPECT_EQ(MessageOf([&] { result->Int64At(data); }), "Not an integer or numeric field");
}

TEST_F(SQLiteTableTest, BlobsKeepZeroBytesAndTextStopsAtThem)
{
    db.Execute("insert into t (name, data) values (cast(x'41004243' as text), x'41004243')");
    db.Execute("insert into t (data) values (x'')");
    auto result = db.Query("select * from t");
    const int data = result->ColumnIndex("data");
    EXPECT_EQ(result->TextAt(result->ColumnIndex("name")), "A");
    ASSERT_TRUE(result->BlobAt(data));
    EXPECT_EQ(result->BlobAt(data)->size, 4u);
    EXPECT_EQ(result->BlobTextAt(data), std::string("A\0BC", 4));
    EXPECT_EQ(result->TextAt(data), std::string("A\0BC", 4));
    result->MoveNext();
    EXPECT_FALSE(result->BlobAt(data));
    EXPECT_EQ(result->BlobTextAt(data), "");
}

TEST_F(SQLiteTableTest, LongAndChineseTextIsReadWhole)
{
    std::string title;
    for (int i = 0; i < 300; ++i) title += "文";
    db.Execute(SqlStatement{"insert into t (name) values (?)", {title}});
    auto result = db.Query("select name from t");
    EXPECT_EQ(result->TextAt(0), title);
}

TEST_F(SQLiteTableTest, ShortLongAndHugeRowsKeepTheirValuesAndNullsAndReadByNumber)
{
    const std::string lengths[] = {"ab", std::string(300, 'm'), std::string(70000, 'h')};
    for (const std::string& note : lengths) {
        db.Execute(SqlStatement{"insert into t (name, amount, note) values (null, 2.5, ?)", {note}});
    }
    auto result = db.Query("select * from t");
    const int id = result->ColumnIndex("ID");
    const int name = result->ColumnIndex("name");
    const int note = result->ColumnIndex("note");
    for (int row = 0; row < 3; ++row) {
        std::string text;
        result->AppendTextOf(row, note, text);
        EXPECT_EQ(text, lengths[row]);
        EXPECT_EQ(result->Int64Of(row, id), row + 1);
        EXPECT_EQ(result->Int64Of(row, name), 0) << "NULL, not a text";
        text.clear();
        result->AppendTextOf(row, result->ColumnIndex("amount"), text);
        EXPECT_EQ(text, "2.5");
    }
    EXPECT_EQ(result->Cursor(), 0);
    EXPECT_THROW(result->Int64Of(3, id), ESQLiteException);
}

TEST_F(SQLiteTableTest, ALaterTextInAnExpressionColumnIsNotHidden)
{
    auto result = db.Query("select null as v union all select 'x'");
    EXPECT_EQ(result->KindAt(0), ColumnKind::Null);
    EXPECT_EQ(result->TextAt(0), "");
    result->MoveNext();
    EXPECT_EQ(result->TextAt(0), "x");
}

}  // namespace

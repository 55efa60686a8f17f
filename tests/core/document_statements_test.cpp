#include "register/core/storage/file_store.h"
#include "register//core/records/document_statements.h"

#include <gtest/gtest.h>

#include "register/core/records/record_row.h"
#include "register/store/sqlite_database.h"

namespace quorva {
namespace {

std::string& Field(RecordFields& fields, Column column) { return fields[static_cast<int>(column)]; }

class DocumentStatementsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureDocumentTable(db); }

    std::int64_t Insert(const std::string& wh, const std::string& ycp = "", const std::string& ybj = "")
    {
        RecordFields fields{};
        Field(fields, Column::wh) = wh;
        Field(fields, Column::ycp) = ycp;
        Field(fields, Column::ybj) = ybj;
        db.Execute(InsertRecordStatement(fields));
        auto last = db.Query("select max(ID) from Quorva");
        return last->Int64At(0);
    }

    std::vector<std::string> References(const SqlStatement& statement)
    {
        std::vector<std::string> found;
        auto result = db.Query(statement);
        if (result->CountRows() == 0) return found;
        const int wh = result->ColumnIndex("wh");
        for (; !result->AtEnd(); result->MoveNext()) found.push_back(result->TextAt(wh));
        return found;
    }

    TSQLiteDatabase db{":memory:"};
};

TEST_F(DocumentStatementsTest, InsertNamesTheTwentyFiveColumnsInWriterOrder)
{
    const SqlStatement insert = InsertRecordStatement(RecordFields{});
    EXPECT_EQ(insert.text,
              "INSERT INTO Quorva(swrq,tmbh,lwdw,wz,wh,zsdw,wjbt,mmdj,jjcd,fwrq,fbcq,tmzzdw,zzrq,bz,swzh,ybyj,fgldpx,"
              "zyldpx,bljg,cdh,ybj,lrr,ycp,cpr,bwh) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?);");
    EXPECT_EQ(insert.values.size(), 25u);
}

TEST_F(DocumentStatementsTest, ValuesThatLookLikeSqlAreStoredAsText)
{
    const std::vector<std::string> tricky = {"a\"b", "it's", "x; DROP TABLE Quorva", "100%", "wh", "ID", "\"\""};
    for (const std::string& value : tricky) Insert(value);
    std::vector<std::string> stored = References(ListStatement(quorva::FileDialect(), FlagFilter::Any, FlagFilter::Any));
    EXPECT_EQ(stored, tricky);
    for (const std::string& value : tricky) {
        EXPECT_EQ(References(DuplicateStatement(Column::wh, value)), std::vector<std::string>{value}) << value;
    }
}

TEST_F(DocumentStatementsTest, UpdateRewritesExactlyOneRow)
{
    Insert("A");
    const std::int64_t second = Insert("B");
    Insert("C");
    RecordFields fields{};
    Field(fields, Column::wh) = "B2 \"edited\"";
    Field(fields, Column::wjbt) = "𠀋 title";
    const SqlStatement update = UpdateRecordStatement(fields, second);
    EXPECT_EQ(update.text.rfind("update Quorva set swrq=?,tmbh=?,lwdw=?", 0), 0u);
    const std::string tail = ",ycp=?,cpr=?,bwh=? where id=?;";
    EXPECT_EQ(update.text.substr(update.text.size() - tail.size()), tail);
    db.Execute(update);
    EXPECT_EQ(References(ListStatement(quorva::FileDialect(), FlagFilter::Any, FlagFilter::Any)),
              (std::vector<std::string>{"A", "B2 \"edited\"", "C"}));
    auto edited = db.Query(DuplicateStatement(Column::wh, "B2 \"edited\""));
    EXPECT_EQ(edited->TextAt(edited->ColumnIndex("wjbt")), "𠀋 title");
}

TEST_F(DocumentStatementsTest, DeleteRemovesOnlyThatId)
{
    Insert("A");
    const std::int64_t second = Insert("B");
    const SqlStatement remove = DeleteRecordStatement(second);
    EXPECT_EQ(remove.text, "delete from Quorva where id=?; ");
    db.Execute(remove);
    EXPECT_EQ(References(ListStatement(quorva::FileDialect(), FlagFilter::Any, FlagFilter::Any)), std::vector<std::string>{"A"});
}

TEST_F(DocumentStatementsTest, DuplicateLookupsAreExact)
{
    Insert("京政发〔2015〕1号");
    EXPECT_EQ(DuplicateStatement(Column::swzh, "x").text, "SELECT * FROM Quorva  where swzh=?");
    EXPECT_TRUE(References(DuplicateStatement(Column::wh, "京政发〔2015〕")).empty());
    EXPECT_TRUE(References(DuplicateStatement(Column::wh, "%")).empty());
    EXPECT_EQ(References(DuplicateStatement(Column::wh, "京政发〔2015〕1号")).size(), 1u);
}

TEST_F(DocumentStatementsTest, ListStatementsForEveryFilterCombination)
{
    EXPECT_EQ(ListStatement(quorva::FileDialect(), FlagFilter::Any, FlagFilter::Any).text, "SELECT * FROM Quorva");
    EXPECT_EQ(ListStatement(quorva::FileDialect(), FlagFilter::OnlyNo, FlagFilter::Any).text,
              "SELECT * FROM Quorva where ifnull(ycp,'')<>\"是\"");
    EXPECT_EQ(ListStatement(quorva::FileDialect(), FlagFilter::OnlyYes, FlagFilter::Any).text, "SELECT * FROM Quorva where ycp=\"是\"");
    EXPECT_EQ(ListStatement(quorva::FileDialect(), FlagFilter::Any, FlagFilter::OnlyNo).text,
              "SELECT * FROM Quorva where ifnull(ybj,'')<>\"是\"");
    EXPECT_EQ(ListStatement(quorva::FileDialect(), FlagFilter::Any, FlagFilter::OnlyYes).text, "SELECT * FROM Quorva where ybj=\"是\"");
    EXPECT_EQ(ListStatement(quorva::FileDialect(), FlagFilter::OnlyNo, FlagFilter::OnlyYes).text,
              "SELECT * FROM Quorva where ifnull(ycp,'')<>\"是\" and ybj=\"是\"");
    EXPECT_EQ(ListStatement(quorva::FileDialect(), FlagFilter::OnlyYes, FlagFilter::OnlyNo).text,
              "SELECT * FROM Quorva where ycp=\"是\" and ifnull(ybj,'')<>\"是\"");
}

TEST_F(DocumentStatementsTest, FlagFiltersCountEmptyAndOtherTextAsNo)
{
    Insert("empty", "", "");
    Insert("no", "否", "否");
    Insert("yes", "是", "是");
    Insert("other", "是的", "x");
    // Older registers and other tools leave NULL flags; they count as no.
    db.Execute("INSERT INTO Quorva(wh) VALUES ('null')");
    EXPECT_EQ(References(ListStatement(quorva::FileDialect(), FlagFilter::OnlyNo, FlagFilter::Any)),
              (std::vector<std::string>{"empty", "no", "other", "null"}));
    EXPECT_EQ(References(ListStatement(quorva::FileDialect(), FlagFilter::OnlyYes, FlagFilter::OnlyYes)), std::vector<std::string>{"yes"});
    EXPECT_EQ(References(ListStatement(quorva::FileDialect(), FlagFilter::Any, FlagFilter::OnlyNo)),
              (std::vector<std::string>{"empty", "no", "other", "null"}));
}

TEST_F(DocumentStatementsTest, SearchJoinsConditionsInTheGivenOrder)
{
    const SqlStatement search = SearchStatement(quorva::FileDialect(), {{Column::wz, SearchMode::Exact, "通知"},
                                                 {Column::wjbt, SearchMode::Fuzzy, "安全"}});
    EXPECT_EQ(search.text, "SELECT * FROM Quorva  where wz=? and wjbt like ?");
    ASSERT_EQ(search.values.size(), 2u);
    EXPECT_EQ(std::get<std::string>(search.values[0]), "通知");
    EXPECT_EQ(std::get<std::string>(search.values[1]), "%安全%");
    EXPECT_EQ(SearchStatement(quorva::FileDialect(), {{Column::swrq, SearchMode::Exact, ""}}).text, "SELECT * FROM Quorva  where swrq=?");
    EXPECT_THROW(SearchStatement(quorva::FileDialect(), {}), std::invalid_argument);
}

TEST_F(DocumentStatementsTest, FuzzySearchKeepsWildcardsAndExactSearchMatchesWhole)
{
    Insert("ab_c");
    Insert("abxc");
    Insert("AB%C");
    Insert("");
    const auto search = [&](SearchMode mode, const std::string& value) {
        return References(SearchStatement(quorva::FileDialect(), {{Column::wh, mode, value}}));
    };
    EXPECT_EQ(search(SearchMode::Fuzzy, "b_c"), (std::vector<std::string>{"ab_c", "abxc", "AB%C"}));
    EXPECT_EQ(search(SearchMode::Fuzzy, "B%"), (std::vector<std::string>{"ab_c", "abxc", "AB%C"}));
    EXPECT_EQ(search(SearchMode::Fuzzy, "").size(), 4u);
    EXPECT_EQ(search(SearchMode::Exact, ""), std::vector<std::string>{""});
    EXPECT_EQ(search(SearchMode::Exact, "ab_c"), std::vector<std::string>{"ab_c"});
    EXPECT_TRUE(search(SearchMode::Exact, "wh").empty());
}

}  // namespace
}  // namespace quorva

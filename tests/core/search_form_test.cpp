#include "register/core/storage/file_store.h"
#include "register//core/search/search_form.h"

#include <gtest/gtest.h>

#include "register/store/sqlite_database.h"
#include "tests/support/temp_folder.h"

namespace quorva {
namespace {

constexpr int kExact = 0;
constexpr int kFuzzy = 1;
constexpr int kNotSearched = 2;

SearchInputs Rows(std::initializer_list<std::pair<int, SearchInput>> set)
{
    SearchInputs inputs;
    for (const auto& [row, input] : set) inputs[static_cast<std::size_t>(row - 1)] = input;
    return inputs;
}

TEST(SearchForm, EveryRowSearchesItsOwnColumnAndOnlyExactOrFuzzyRowsCountInBuildOrder)
{
    // The deadline row, last, is matched after the query, not in it.
    const char* const columns[kDeadlineSearchRow] = {
        "swrq", "swzh", "lwdw", "wz",  "wh",  "mmdj", "jjcd", "wjbt", "ybyj", "fgldpx", "zyldpx", "fwrq", "zsdw",
        "tmbh", "tmzzdw", "zzrq", "fbcq", "ybj", "cdh", "lrr", "bljg", "bz", "ycp", "cpr", "bwh"};
    SearchInputs every;
    std::string where;
    for (std::size_t row = 0; row < kDeadlineSearchRow; ++row) {
        every[row] = {kExact, "v" + std::to_string(row)};
        where += std::string(row ? " and " : "") + columns[row] + "=?";
    }
    const SqlStatement all = SearchStatement(quorva::FileDialect(), BuildSearchTerms(every));
    EXPECT_EQ(all.text, "SELECT * FROM Quorva  where " + where);
    for (std::size_t row = 0; row < kDeadlineSearchRow; ++row) {
        EXPECT_EQ(std::get<std::string>(all.values[row]), "v" + std::to_string(row));
    }
    const SqlStatement firstAndLast = SearchStatement(quorva::FileDialect(), BuildSearchTerms(
        Rows({{25, {kFuzzy, "B"}}, {1, {kExact, "2015"}}, {8, {kNotSearched, "x"}}, {9, {kNoSearchMode, "y"}}})));
    EXPECT_EQ(firstAndLast.text, "SELECT * FROM Quorva  where swrq=? and bwh like ?");
    EXPECT_EQ(std::get<std::string>(firstAndLast.values[1]), "%B%");
    EXPECT_TRUE(BuildSearchTerms(Rows({{3, {kNotSearched, "x"}}})).empty());
}

class SearchMatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureDocumentTable(db);
        for (const char* title : {"", "安全", "say \"hi\"", "wjbt"}) {
            db.Execute(SqlStatement{"insert into Quorva(wjbt) values (?)", {std::string(title)}});
        }
        db.Execute("insert into Quorva(swrq) values ('20150615')");  // wjbt null
    }

    int Count(int mode, const std::string& value)
    {
        return db.Query(SearchStatement(quorva::FileDialect(), BuildSearchTerms(Rows({{8, {mode, value}}}))))->CountRows();
    }

    TempFolder folder;
    TSQLiteDatabase db{folder.File("q.db")};
};

TEST_F(SearchMatchTest, EmptyValuesMatchTheEmptyTextOrEveryNonNullValue)
{
    EXPECT_EQ(Count(kExact, ""), 1);
    EXPECT_EQ(Count(kFuzzy, ""), 4);
}

TEST_F(SearchMatchTest, QuotesAndColumnNamesAreMatchedAsTheTextTheyAre)
{
    EXPECT_EQ(Count(kExact, "say \"hi\""), 1);
    EXPECT_EQ(Count(kFuzzy, "\" or \"1\"=\"1"), 0);
    EXPECT_EQ(Count(kExact, "wjbt"), 1) << "only the record whose title is the word itself";
}

}  // namespace
}  // namespace quorva

#include "register/store/result_code_text.h"

#include <gtest/gtest.h>

TEST(ResultCodeText, NamesEveryKnownCode)
{
    EXPECT_EQ(ResultCodeText(0), "Successful result");
    EXPECT_EQ(ResultCodeText(5), "The database file is locked");
    EXPECT_EQ(ResultCodeText(19), "Abort due to contraint violation");
    EXPECT_EQ(ResultCodeText(26), "File opened that is not a database file");
    EXPECT_EQ(ResultCodeText(100), "sqlite3_step() has another row ready");
    EXPECT_EQ(ResultCodeText(101), "sqlite3_step() has finished executing");
}

TEST(ResultCodeText, QuotesAnUnknownCode)
{
    EXPECT_EQ(ResultCodeText(27), "Unknown SQLite Error Code \"27\"");
    EXPECT_EQ(ResultCodeText(-1), "Unknown SQLite Error Code \"-1\"");
    EXPECT_EQ(ResultCodeText(99), "Unknown SQLite Error Code \"99\"");
}

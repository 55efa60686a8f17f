#include "register/core/entry/number_advance.h"

#include <gtest/gtest.h>

namespace quorva {
namespace {

TEST(NumberAdvance, KeepsThePrefixAndTheWidthOfTheRun)
{
    EXPECT_EQ(AdvanceNumber("SW2026-015"), "SW2026-016");
    EXPECT_EQ(AdvanceNumber("2026009"), "2026010");
    EXPECT_EQ(AdvanceNumber("SW2026-099"), "SW2026-100");
    EXPECT_EQ(AdvanceNumber("007"), "008");
    EXPECT_EQ(AdvanceNumber("0099"), "0100");
    EXPECT_EQ(AdvanceNumber("X-5"), "X-6");
    EXPECT_EQ(AdvanceNumber("收文第12号3"), "收文第12号4");
}

TEST(NumberAdvance, ARunThatOverflowsItsWidthGrows)
{
    EXPECT_EQ(AdvanceNumber("099"), "100");
    EXPECT_EQ(AdvanceNumber("A9"), "A10");
    EXPECT_EQ(AdvanceNumber("9"), "10");
}

TEST(NumberAdvance, FailsWithoutTrailingDigitsOrBeyondSixtyFourBits)
{
    EXPECT_EQ(AdvanceNumber("发〔2026〕7号"), std::nullopt);
    EXPECT_EQ(AdvanceNumber("收文"), std::nullopt);
    EXPECT_EQ(AdvanceNumber(""), std::nullopt);
    EXPECT_EQ(AdvanceNumber("N9223372036854775806"), "N9223372036854775807");
    EXPECT_EQ(AdvanceNumber("N9223372036854775807"), std::nullopt);
    EXPECT_EQ(AdvanceNumber("99999999999999999999"), std::nullopt);
    EXPECT_EQ(AdvanceNumber("000000000000000000000001"), "000000000000000000000002");
}

}  // namespace
}  // namespace quorva

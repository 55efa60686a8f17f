#include "register/core/entry/yearly_numbering.h"

#include <gtest/gtest.h>

namespace quorva {
namespace {

TEST(YearlyNumbering, ANewYearRestartsTheSequenceKeepingWidthAndText)
{
    const struct {
        const char* last;
        int lastYear;
        int year;
        const char* next;
    } cases[] = {
        {"SW-2026-0041", 2026, 2027, "SW-2027-0001"},
        {"收〔2026〕41号", 2026, 2027, "收〔2027〕1号"},
        {"SW20260041", 2026, 2027, "SW20270001"},
        {"41号(2026)", 2026, 2027, "1号(2027)"},
        {"SW0041", 2026, 2027, "SW0001"},
        {"收41", 2026, 2028, "收1"},
        {"SW-2025-0041", 2026, 2027, "SW-2025-0001"},
        {"收文", 2026, 2027, ""},
        {"SW-2026-0041", 2026, 2026, "SW-2026-0042"},
        {"SW-2027-0003", 2027, 2026, "SW-2027-0004"},  // a document received last year, registered late
        {"收〔2026〕41号", 2026, 2026, ""},  // within the year, numbering as ever
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextNumberInYear(c.last, c.lastYear, c.year).value_or(""), c.next) << c.last << " " << c.year;
    }
}

}  // namespace
}  // namespace quorva

#include "register/core/shell/settings.h"

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

namespace quorva {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    void Store(const char* key, const std::string& value) { store.Write("q.ini", kSettingsSection, key, value); }
    MemoryProfileStore store;
    Settings settings{store, "q.ini"};
};

TEST_F(SettingsTest, BooleansAreWholeNumbersWithTheDefaultForAnythingElse)
{
    EXPECT_FALSE(settings.ReadBool("SWcp", false));
    EXPECT_TRUE(settings.ReadBool("SWcp", true));
    const struct {
        const char* stored;
        bool withFalseDefault;
        bool withTrueDefault;
    } cases[] = {
        {"1", true, true}, {"0", false, false}, {"7", true, true}, {"-3", true, true},
        {"x", false, true}, {"", false, true},  {"1.5", false, true}, {"99999999999999999999", false, true},
    };
    for (const auto& c : cases) {
        Store("SWcp", c.stored);
        EXPECT_EQ(settings.ReadBool("SWcp", false), c.withFalseDefault) << c.stored;
        EXPECT_EQ(settings.ReadBool("SWcp", true), c.withTrueDefault) << c.stored;
    }
}

TEST_F(SettingsTest, BooleansAreWrittenAsOneAndZero)
{
    settings.WriteBool("SLast", true);
    EXPECT_EQ(store.Read("q.ini", "Option", "SLast", ""), "1");
    settings.WriteBool("SLast", false);
    EXPECT_EQ(store.Read("q.ini", "Option", "SLast", ""), "0");
}

TEST_F(SettingsTest, TextIsReadUpTo2047Characters)
{
    EXPECT_EQ(settings.ReadText("DName", "Quorva.db"), "Quorva.db");
    Store("Path", std::string(3000, 'a'));
    EXPECT_EQ(settings.ReadText("Path", "").size(), 2047u);
    std::string chinese;
    for (int i = 0; i < 2100; ++i) chinese += "文";
    Store("Path", chinese);
    EXPECT_EQ(settings.ReadText("Path", ""), chinese.substr(0, 2047 * 3));
}

}  // namespace
}  // namespace quorva

#include "register/core/shell/settings_form.h"

#include <gtest/gtest.h>

#include "register/core/records/database_copy.h"
#include "register/core/shell/startup.h"

namespace quorva {
namespace {

TEST(SettingsForm, FileNamesGetTheDatabaseExtensionUnlessTheyHaveIt)
{
    EXPECT_EQ(DatabaseFileNameFrom("records"), "records.db");
    EXPECT_EQ(DatabaseFileNameFrom("  records.DB "), "records.DB");
    EXPECT_EQ(DatabaseFileNameFrom("records.dB"), "records.dB");
    EXPECT_EQ(DatabaseFileNameFrom("records.txt"), "records.txt.db");
    EXPECT_EQ(DatabaseFileNameFrom("   "), std::nullopt);
    EXPECT_EQ(DatabaseFileNameFrom(""), std::nullopt);
}

TEST(SettingsForm, TheFileNameBoxTakesOnlyAsciiNameCharacters)
{
    for (char16_t key : {u'a', u'Z', u'0', u'9', u'-', u'.', u'_', char16_t{8}}) EXPECT_TRUE(IsFileNameKeyAccepted(key));
    for (char16_t key : {u' ', u'库', u'/', u'\\', u':', u'*', u'é'}) EXPECT_FALSE(IsFileNameKeyAccepted(key));
}

TEST(SettingsForm, ADriveRootKeepsItsOneBackslash)
{
    EXPECT_EQ(FolderPart("D:\\Quorva.db"), "D:\\");
    EXPECT_EQ(FolderPart("D:\\Quorva\\Quorva.db"), "D:\\Quorva");
    EXPECT_EQ(FileNamePart("D:\\Quorva\\Quorva.db"), "Quorva.db");
    EXPECT_EQ(JoinDatabasePath("D:\\", "Quorva.db"), "D:\\Quorva.db");
    EXPECT_EQ(BackupPathIn("E:\\", "D:\\Quorva\\收文.db"), "E:\\收文.db.bak");
}

}  // namespace
}  // namespace quorva

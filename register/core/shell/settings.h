#pragma once

#include <string>

#include "register/core/shell/profile_store.h"

// The settings file quorva.ini, section Option. Nothing is cached: every
// read and write goes to the file.
namespace quorva {

namespace keys {
inline constexpr const char* kUnsubmitted = "SWcp";
inline constexpr const char* kSubmitted = "SYcp";
inline constexpr const char* kUnfinished = "SOpen";
inline constexpr const char* kFinished = "SClose";
inline constexpr const char* kRecentOnly = "SLast";
inline constexpr const char* kRecentDays = "SDate";
inline constexpr const char* kOverdueOnly = "SOverdue";
inline constexpr const char* kLastBackup = "BFDate";
inline constexpr const char* kDatabaseFolder = "Path";
inline constexpr const char* kDatabaseName = "DName";
inline constexpr const char* kTemplate = "MB";
inline constexpr const char* kSilentEntry = "PLinput";
inline constexpr const char* kReceiptNumber = "SHao";
inline constexpr const char* kHandlingNumber = "BHao";
}  // namespace keys

inline constexpr const char* kSettingsSection = "Option";
inline constexpr int kMaxSettingLength = 2047;

class Settings {
public:
    Settings(ProfileStore& store, std::string settingsPath) : store_(store), path_(std::move(settingsPath)) {}

    // A whole number other than 0 is true, 0 is false; anything else, or a
    // missing key, gives the default.
    bool ReadBool(const char* key, bool fallback) const;
    void WriteBool(const char* key, bool value);
    // At most kMaxSettingLength characters.
    std::string ReadText(const char* key, const std::string& fallback) const;
    void WriteText(const char* key, const std::string& value);

    const std::string& path() const { return path_; }

private:
    ProfileStore& store_;
    std::string path_;
};

// Parses a whole decimal number, optionally signed; false for anything else.
bool ParseWholeNumber(const std::string& text, long long& value);

}  // namespace quorva

#pragma once

#include <string>
#include <vector>

#include "register/core/shell/file_system.h"
#include "register/core/shell/filter_state.h"
#include "register/core/shell/settings.h"

namespace quorva {

inline constexpr const char* kSettingsFolderName = "\\ovd";
inline constexpr const char* kSettingsFileName = "\\quorva.ini";
inline constexpr const char* kAgencyListSuffix = ".jg";
inline constexpr const char* kNameListSuffix = ".xm";
inline constexpr const char* kDefaultDatabaseName = "Quorva.db";
inline constexpr const char* kTemplateFileName = "\\呈批表制作说明.doc";
inline constexpr const char* kNotBackedUp = "数据库未备份";
inline constexpr const char* kLastBackupPrefix = "最近一次数据库备份时间：";

// Where the database goes when the settings name no folder: the first of
// these that exists or can be created, else the last one.
std::vector<std::string> DefaultDatabaseFolderCandidates();
std::string ChooseDefaultDatabaseFolder(FileSystem& fs, const std::vector<std::string>& candidates);

// Folder + file name with exactly one backslash between them.
std::string JoinDatabasePath(const std::string& folder, const std::string& fileName);

// What the main window holds for the program's lifetime.
struct MainWindowState {
    std::string databasePath;
    std::string settingsPath;
    std::string templatePath;
    bool silentEntry = false;
};

struct StartupResult {
    MainWindowState state;
    FilterState filters;
    std::string statusText;
};

// Creating the main window: settings folder and list files, default database
// folder, filters and paths from the settings file. The database is not
// touched.
StartupResult PrepareMainWindow(FileSystem& fs, ProfileStore& store, const std::string& appDataFolder,
                                const std::vector<std::string>& defaultFolderCandidates);

// Closing: the five filter boxes and the days text go back to the file.
void SaveFilters(Settings& settings, const FilterState& filters);

}  // namespace quorva

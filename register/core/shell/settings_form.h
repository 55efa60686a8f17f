#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "register/core/deadlines/deadline_rule.h"
#include "register/core/storage/store_settings.h"

// The advanced settings dialog TForm3 and the file-name dialog TForm4 as the
// commands see them.
namespace quorva {

inline constexpr const char* kSettingsCaption = "高级设置";
inline constexpr const char* kFileNameCaption = "设定数据库文件名";
inline constexpr const char* kDatabaseFolderPickerCaption = "请选择数据库的保存路径";
inline constexpr const char* kDatabaseExtension = ".db";

inline constexpr const char* kFileStoreChoice = "本机数据库文件";
inline constexpr const char* kServerStoreChoice = "数据库服务器";

struct SettingsValues {
    std::string folder;
    std::string fileName;
    std::string templatePath;
    bool silentEntry = false;
    StoreChoice store = {};
    DeadlineDays deadlineDays = {};
    bool yearlyNumbering = false;
};

// What the settings dialog asks of the register while it is open. Each
// answer is the text the dialog shows: success, or the reason for failure in
// the driver's own words.
class SettingsActions {
public:
    virtual ~SettingsActions() = default;
    // The ODBC drivers installed on this machine.
    virtual std::vector<std::string> Drivers() = 0;
    virtual std::string TestConnection(const ServerLocation& server) = 0;
    // Copies every record of the file register onto the server's empty table.
    virtual std::string Upload(const std::string& databasePath, const ServerLocation& server) = 0;
};

class SettingsDialog {
public:
    virtual ~SettingsDialog() = default;
    // Shows the values; true when it closed with OK, and then Values() holds
    // what the boxes showed.
    virtual bool ShowModal(const SettingsValues& values) = 0;
    virtual SettingsValues Values() const = 0;
};

class SettingsDialogFactory {
public:
    virtual ~SettingsDialogFactory() = default;
    virtual std::unique_ptr<SettingsDialog> CreateSettingsDialog(SettingsActions& actions) = 0;
};

// The keys the file-name box lets through: backspace, "-", ".", digits,
// ASCII letters and "_".
bool IsFileNameKeyAccepted(char16_t key);

// The database file name for what the clerk confirmed in the file-name
// dialog: spaces around it removed, ".db" appended unless its extension
// already is ".db" in any capitalisation. Nothing when it is empty.
std::optional<std::string> DatabaseFileNameFrom(const std::string& typed);

}  // namespace quorva

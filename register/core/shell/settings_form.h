#pragma once

#include <memory>
#include <optional>
#include <string>

// The advanced settings dialog TForm3 and the file-name dialog TForm4 as the
// commands see them.
namespace quorva {

inline constexpr const char* kSettingsCaption = "高级设置";
inline constexpr const char* kFileNameCaption = "设定数据库文件名";
inline constexpr const char* kDatabaseFolderPickerCaption = "请选择数据库的保存路径";
inline constexpr const char* kDatabaseExtension = ".db";

struct SettingsValues {
    std::string folder;
    std::string fileName;
    std::string templatePath;
    bool silentEntry = false;
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
    virtual std::unique_ptr<SettingsDialog> CreateSettingsDialog() = 0;
};

// The keys the file-name box lets through: backspace, "-", ".", digits,
// ASCII letters and "_".
bool IsFileNameKeyAccepted(char16_t key);

// The database file name for what the clerk confirmed in the file-name
// dialog: spaces around it removed, ".db" appended unless its extension
// already is ".db" in any capitalisation. Nothing when it is empty.
std::optional<std::string> DatabaseFileNameFrom(const std::string& typed);

}  // namespace quorva

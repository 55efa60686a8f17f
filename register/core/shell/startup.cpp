#include "register/core/shell/startup.h"

namespace quorva {

namespace {

const char kBackslash = '\\';

// Restoring goes through the pair rule, so of two true keys of a pair the one
// restored later wins.
void RestoreFilters(const Settings& settings, FilterState& filters)
{
    const struct {
        const char* key;
        FilterBox box;
    } kOrder[] = {
        {keys::kUnsubmitted, FilterBox::Unsubmitted}, {keys::kSubmitted, FilterBox::Submitted},
        {keys::kFinished, FilterBox::Finished},       {keys::kUnfinished, FilterBox::Unfinished},
        {keys::kRecentOnly, FilterBox::RecentOnly},
        {keys::kOverdueOnly, FilterBox::OverdueOnly},
    };
    for (const auto& entry : kOrder) {
        if (settings.ReadBool(entry.key, false)) filters.SetTicked(entry.box, true);
    }
}

}  // namespace

std::vector<std::string> DefaultDatabaseFolderCandidates()
{
    return {"D:\\Quorva", "C:\\Quorva", "E:\\Quorva"};
}

std::string ChooseDefaultDatabaseFolder(FileSystem& fs, const std::vector<std::string>& candidates)
{
    for (std::size_t i = 0; i + 1 < candidates.size(); ++i) {
        if (fs.CreateFolders(candidates[i])) return candidates[i];
    }
    // The last one is taken whether or not it can be made.
    fs.CreateFolders(candidates.back());
    return candidates.back();
}

std::string JoinDatabasePath(const std::string& folder, const std::string& fileName)
{
    // Windows takes either separator; a folder typed with "/" keeps it.
    if (!folder.empty() && (folder.back() == kBackslash || folder.back() == '/')) return folder + fileName;
    return folder + kBackslash + fileName;
}

StartupResult PrepareMainWindow(FileSystem& fs, ProfileStore& store, const std::string& appDataFolder,
                                const std::vector<std::string>& defaultFolderCandidates)
{
    StartupResult result;
    MainWindowState& state = result.state;

    const std::string settingsFolder = appDataFolder + kSettingsFolderName;
    fs.CreateFolders(settingsFolder);
    state.settingsPath = settingsFolder + kSettingsFileName;
    for (const char* suffix : {kAgencyListSuffix, kNameListSuffix}) {
        const std::string list = state.settingsPath + suffix;
        if (!fs.FileExists(list)) fs.CreateEmptyFile(list);
    }

    const std::string defaultFolder = ChooseDefaultDatabaseFolder(fs, defaultFolderCandidates);

    Settings settings(store, state.settingsPath);
    RestoreFilters(settings, result.filters);
    state.silentEntry = settings.ReadBool(keys::kSilentEntry, false);
    result.filters.SetDays(settings.ReadText(keys::kRecentDays, kDefaultRecentDays));

    const std::string lastBackup = settings.ReadText(keys::kLastBackup, "");
    result.statusText = lastBackup.empty() ? kNotBackedUp : kLastBackupPrefix + lastBackup;

    const std::string folder = settings.ReadText(keys::kDatabaseFolder, defaultFolder);
    const std::string name = settings.ReadText(keys::kDatabaseName, kDefaultDatabaseName);
    state.templatePath = settings.ReadText(keys::kTemplate, folder + kTemplateFileName);
    state.databasePath = JoinDatabasePath(folder, name);
    return result;
}

void SaveFilters(Settings& settings, const FilterState& filters)
{
    settings.WriteBool(keys::kUnsubmitted, filters.IsTicked(FilterBox::Unsubmitted));
    settings.WriteBool(keys::kSubmitted, filters.IsTicked(FilterBox::Submitted));
    settings.WriteBool(keys::kFinished, filters.IsTicked(FilterBox::Finished));
    settings.WriteBool(keys::kUnfinished, filters.IsTicked(FilterBox::Unfinished));
    settings.WriteBool(keys::kRecentOnly, filters.IsTicked(FilterBox::RecentOnly));
    settings.WriteText(keys::kRecentDays, filters.days());
    settings.WriteBool(keys::kOverdueOnly, filters.IsTicked(FilterBox::OverdueOnly));
}

}  // namespace quorva

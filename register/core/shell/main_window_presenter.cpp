#include "register/core/shell/main_window_presenter.h"

#include "register/core/records/database_copy.h"
#include "register/core/shell/list_loader.h"
#include "register/core/entry/number_advance.h"
#include "register/core/entry/record_entry.h"
#include "register/core/storage/change_journal.h"
#include "register/core/history/recycle_bin_presenter.h"
#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

#include <stdexcept>

namespace quorva {

MainWindowPresenter::MainWindowPresenter(MainView& view, MainWindowEnvironment environment)
    : view_(view), env_(std::move(environment))
{
}

void MainWindowPresenter::FormCreate()
{
    StartupResult startup = PrepareMainWindow(env_.fileSystem, env_.profileStore, env_.appDataFolder,
                                              env_.defaultFolderCandidates);
    state_ = std::move(startup.state);
    filters_ = startup.filters;
    if (env_.secrets) storeChoice_ = ReadStoreChoice(settings(), *env_.secrets);
    ChooseStore(storeChoice_);
    // Restoring the boxes and the days text loads nothing.
    view_.ShowFilterChecks(filters_);
    view_.SetDaysText(filters_.days());
    view_.SetStatusText(startup.statusText);
    // The scanner-service start-up link belongs here, last of the creation.
    created_ = true;
}

void MainWindowPresenter::ChooseStore(const StoreChoice& choice)
{
    storeChoice_ = choice;
    store_ = MakeStore(storeChoice_, state_.databasePath, state_.settingsPath);
}

Store& MainWindowPresenter::store()
{
    if (!store_) ChooseStore(storeChoice_);
    return *store_;
}

void MainWindowPresenter::FormShow()
{
    Button3Click();
}

void MainWindowPresenter::FormClose()
{
    Settings current = settings();
    SaveFilters(current, filters_);
}

void MainWindowPresenter::Button3Click()
{
    // A failure to open or query leaves the list as it was.
    std::shared_ptr<const TSQLiteTable> result = QueryRecordList(store(), filters_);
    try {
        FillRecordList(std::move(result), filters_, env_.today(), rows_);
    } catch (...) {
        view_.ShowRows(rows_);
        throw;
    }
    view_.ShowRows(rows_);
    if (!rows_.empty()) view_.SelectRow(static_cast<int>(rows_.size()) - 1);
}

void MainWindowPresenter::FilterBoxClick(FilterBox box, bool ticked)
{
    filters_.SetTicked(box, ticked);
    view_.ShowFilterChecks(filters_);
    Button3Click();
}

void MainWindowPresenter::Edit1Change(const std::string& text)
{
    if (!created_) return;
    if (text.empty()) {
        // Setting "0" changes the text again, and that change reloads.
        filters_.SetDays(text);
        view_.SetDaysText(filters_.days());
        return;
    }
    filters_.SetDays(text);
    if (filters_.IsTicked(FilterBox::RecentOnly)) Button3Click();
}

void MainWindowPresenter::CheckBox6Click(bool ticked)
{
    queryMode_ = ticked;
    view_.SetFiltersEnabled(!ticked);
    if (!ticked) Button3Click();
}

}  // namespace quorva

namespace quorva {

std::unique_ptr<EntryDialog> MainWindowPresenter::CreateEntryDialog(std::int64_t recordId)
{
    if (!env_.entryDialogs) throw std::logic_error("no entry dialog in this window");
    return env_.entryDialogs->CreateEntryDialog(EntryDialogContext{state_.databasePath, state_.settingsPath,
                                                                   env_.prompter, state_.templatePath, &store(),
                                                                   recordId});
}

void MainWindowPresenter::ProposeNumber(EntryDialog& dialog, EntryField field, const char* key)
{
    const std::string last = settings().ReadText(key, "");
    if (last.empty()) return;
    if (const std::optional<std::string> next = AdvanceNumber(last)) dialog.SetText(field, *next);
}

void MainWindowPresenter::newbtnClick()
{
    std::unique_ptr<EntryDialog> dialog = CreateEntryDialog();
    const CivilDate today = env_.today();
    dialog->SetDate(EntryField::eswrq, today);
    dialog->SetDate(EntryField::efwrq, today);
    ProposeNumber(*dialog, EntryField::eswzh, keys::kReceiptNumber);
    ProposeNumber(*dialog, EntryField::ebwh, keys::kHandlingNumber);
    if (!dialog->ShowModal()) return;
    StoreNewRecord(*dialog);
}

void MainWindowPresenter::StoreNewRecord(const EntryDialog& dialog)
{
    // Once the database is open, the counters are written and the list is
    // reloaded whatever the insert does; its error is shown afterwards.
    std::exception_ptr insertError;
    {
        const std::unique_ptr<StoreConnection> connection = store().Open();
        try {
            if (connection->HasTable(kTableName)) {
                const RecordFields fields = PrepareRecordFields(dialog);
                StoreTransaction transaction(*connection);
                const std::int64_t id = connection->InsertRecord(InsertRecordStatement(fields));
                JournalChange(*connection, {ChangeAction::Insert, id, fields[static_cast<int>(Column::swzh)]},
                              Author());
                transaction.Commit();
            }
        } catch (...) {
            insertError = std::current_exception();
        }
    }
    Settings current = settings();
    current.WriteText(keys::kReceiptNumber, dialog.Text(EntryField::eswzh));
    current.WriteText(keys::kHandlingNumber, dialog.Text(EntryField::ebwh));
    try {
        Button3Click();
    } catch (...) {
        if (!insertError) throw;
    }
    if (insertError) std::rethrow_exception(insertError);
}

void MainWindowPresenter::edtbtnClick()
{
    const int index = view_.SelectedRow();
    if (index < 0 || index >= static_cast<int>(rows_.size())) return;
    std::unique_ptr<EntryDialog> dialog = CreateEntryDialog(RecordIdOf(rows_[static_cast<std::size_t>(index)]));
    dialog->SetCaption(kEditRecordCaption);
    FillFromRow(rows_[static_cast<std::size_t>(index)], *dialog, env_.prompter);
    if (!dialog->ShowModal()) return;

    const std::unique_ptr<StoreConnection> connection = store().Open();
    if (!connection->HasTable(kTableName)) return;
    RecordRow row = rows_[static_cast<std::size_t>(index)];
    const RecordFields fields = PrepareRecordFields(*dialog);
    {
        StoreTransaction transaction(*connection);
        connection->Execute(UpdateRecordStatement(fields, RecordIdOf(row)));
        JournalChange(*connection,
                      {ChangeAction::Edit, RecordIdOf(row), fields[static_cast<int>(Column::swzh)],
                       ChangedValues(row, fields)},
                      Author());
        transaction.Commit();
    }
    WriteBackRow(*dialog, row);
    rows_.Replace(static_cast<std::size_t>(index), std::move(row));
    view_.RefreshRow(index);
}

}  // namespace quorva

// Search, maintenance and settings.
namespace quorva {

namespace {

const char* const kSelectFirst = "请选中相应的记录后再点击删除！";
// Deleted and cleared records wait in the recycle bin.
const char* const kDeleteQuestion = "删除后可在回收站中恢复，您确认要删除选定的记录吗？";
const char* const kDeleteCaption = "确认删除";
const char* const kClearQuestion = "清空后可在回收站中恢复，您确认要清空记录吗？";
const char* const kClearCaption = "确认清空";
const char* const kNoDatabase = "数据库不存在！";
const char* const kBackupFolderCaption = "请选择备份文件的保存路径";
const char* const kOverwriteQuestion = "备份文件已存在，您确认要覆盖旧的备份文件吗？";
const char* const kBackupCaption = "确认备份";
const char* const kBackupDone = "备份成功！";
const char* const kBackupFailed = "对不起，备份失败！";
const char* const kRestoreQuestion = "您确认要从备份文件中恢复数据库记录吗？";
const char* const kRestoreCaption = "确认恢复";
const char* const kRestoreDone = "恢复成功！";
const char* const kRestoreFailed = "对不起，恢复失败！";
const char* const kBeforeRestoreNote = "恢复前的数据库已另存为：";

template <typename Factory>
Factory& Required(Factory* factory)
{
    if (!factory) throw std::logic_error("this window has no such dialog");
    return *factory;
}

}  // namespace

template <typename Change>
void MainWindowPresenter::ReloadAfter(Change&& change)
{
    std::exception_ptr changeError;
    try {
        change();
    } catch (...) {
        changeError = std::current_exception();
    }
    try {
        Button3Click();
    } catch (...) {
        if (!changeError) throw;
    }
    if (changeError) std::rethrow_exception(changeError);
}

void MainWindowPresenter::Message(const std::string& text)
{
    env_.prompter.Show(text, kApplicationTitle, PromptIcon::None, PromptButtons::Ok);
}

bool MainWindowPresenter::Confirmed(const std::string& text, const std::string& caption)
{
    return env_.prompter.Show(text, caption, PromptIcon::Warning, PromptButtons::YesNo) != PromptAnswer::No;
}

FilePicker& MainWindowPresenter::filePicker()
{
    return Required(env_.filePicker);
}

void MainWindowPresenter::SearchClick()
{
    std::unique_ptr<SearchDialog> dialog =
        Required(env_.searchDialogs).CreateSearchDialog(state_.settingsPath + kNameListSuffix, env_.prompter);
    if (!dialog->ShowModal()) return;
    ShowSearchResult(BuildSearchTerms(dialog->Inputs()));
}

void MainWindowPresenter::ShowSearchResult(const std::vector<SearchTerm>& terms)
{
    std::unique_ptr<TSQLiteTable> result;
    {
        const std::unique_ptr<StoreConnection> connection = store().Open();
        if (!connection->HasTable(kTableName) || terms.empty()) return;
        result = connection->Query(SearchStatement(connection->Dialect(), terms));
    }
    if (result->CountRows() < 1) {
        env_.prompter.Show(kNothingFoundText, kNothingFoundCaption, PromptIcon::Warning, PromptButtons::Ok);
        return;
    }
    if (!queryMode_) {
        view_.ShowQueryMode(true);
        CheckBox6Click(true);
    }
    FillRecordList(std::move(result), rows_);
    view_.ShowRows(rows_);
}

void MainWindowPresenter::DeleteSelectedClick()
{
    const int index = view_.SelectedRow();
    if (index < 0 || index >= static_cast<int>(rows_.size())) {
        Message(kSelectFirst);
        return;
    }
    if (!Confirmed(kDeleteQuestion, kDeleteCaption)) return;
    const RecordRow row = rows_[static_cast<std::size_t>(index)];
    ReloadAfter([&] {
        const std::unique_ptr<StoreConnection> connection = store().Open();
        if (!connection->HasTable(kTableName)) return;
        StoreTransaction transaction(*connection);
        JournalChange(*connection, {ChangeAction::Delete, RecordIdOf(row), std::string(row.at(Column::swzh))},
                      Author());
        connection->Execute(DeleteRecordStatement(RecordIdOf(row)));
        transaction.Commit();
    });
}

void MainWindowPresenter::ClearAllClick()
{
    if (!Confirmed(kClearQuestion, kClearCaption)) return;
    ReloadAfter([&] {
        const std::unique_ptr<StoreConnection> connection = store().Open();
        if (!connection->HasTable(kTableName)) {
            CreateDocumentTable(*connection);
            return;
        }
        StoreTransaction transaction(*connection);
        JournalChange(*connection, {ChangeAction::Clear}, Author());
        for (const std::string& statement : connection->Dialect().ClearRecordTable()) connection->Execute(statement);
        transaction.Commit();
    });
}

void MainWindowPresenter::BackupClick()
{
    if (!store().Exists()) {
        env_.prompter.Show(kNoDatabase, kApplicationTitle, PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    const std::optional<std::string> folder = filePicker().PickFolder(kBackupFolderCaption);
    if (!folder) return;
    const std::string target = JoinDatabasePath(*folder, store().BackupName());
    if (DatabaseFileExists(target) && !Confirmed(kOverwriteQuestion, kBackupCaption)) return;
    if (!store().Backup(target)) {
        Message(kBackupFailed);
        return;
    }
    const std::string now = env_.now ? env_.now() : std::string();
    settings().WriteText(keys::kLastBackup, now);
    view_.SetStatusText(kLastBackupPrefix + now);
    Message(kBackupDone);
}

void MainWindowPresenter::RestoreClick()
{
    const std::optional<std::string> backup = filePicker().PickBackupFile();
    if (!backup) return;
    if (!Confirmed(kRestoreQuestion, kRestoreCaption)) return;
    const std::optional<std::string> safetyCopy = store().Restore(*backup, Author());
    if (!safetyCopy) {
        Message(kRestoreFailed);
        return;
    }
    settings().WriteText(keys::kLastBackup, "");
    Button3Click();
    std::string done = kRestoreDone;
    if (!safetyCopy->empty()) done += std::string("\n") + kBeforeRestoreNote + *safetyCopy;
    Message(done);
}

// The settings dialog's server buttons, on a store of their own, so trying a
// server touches neither the store in use nor the settings file.
class MainWindowPresenter::Actions final : public SettingsActions {
public:
    std::vector<std::string> Drivers() override { return InstalledServerDrivers(); }

    std::string TestConnection(const ServerLocation& server) override
    {
        try {
            ServerStore probe(server, "");
            probe.Open()->Query("SELECT 1");
            return kConnectionWorks + ServerName(server);
        } catch (const std::exception& error) {
            return kConnectionFailed + std::string(error.what());
        }
    }

    std::string Upload(const std::string& databasePath, const ServerLocation& server) override
    {
        try {
            ServerStore target(server, "");
            const UploadCounts counts = UploadToServer(databasePath, target);
            return UploadReport(counts, ServerName(server));
        } catch (const std::exception& error) {
            return kUploadFailed + std::string(error.what());
        }
    }
};

void MainWindowPresenter::SettingsClick()
{
    Actions actions;
    std::unique_ptr<SettingsDialog> dialog = Required(env_.settingsDialogs).CreateSettingsDialog(actions);
    const SettingsValues shown{FolderPart(state_.databasePath), FileNamePart(state_.databasePath),
                               state_.templatePath, state_.silentEntry, storeChoice_};
    if (!dialog->ShowModal(shown)) return;
    const SettingsValues chosen = dialog->Values();
    state_.databasePath = JoinDatabasePath(chosen.folder, chosen.fileName);
    state_.templatePath = chosen.templatePath;
    state_.silentEntry = chosen.silentEntry;
    Settings file = settings();
    file.WriteText(keys::kDatabaseFolder, chosen.folder);
    file.WriteText(keys::kDatabaseName, chosen.fileName);
    file.WriteText(keys::kTemplate, chosen.templatePath);
    file.WriteBool(keys::kSilentEntry, chosen.silentEntry);
    if (env_.secrets) WriteStoreChoice(file, chosen.store, *env_.secrets);
    ChooseStore(env_.secrets ? chosen.store : StoreChoice{});
    Button3Click();
}

}  // namespace quorva

// The history and the recycle bin.
namespace quorva {

ChangeAuthor MainWindowPresenter::Author() const
{
    const Workstation* workstation = env_.workstation;
    return {env_.now ? env_.now() : std::string(), workstation ? workstation->UserName() : std::string(),
            workstation ? workstation->MachineName() : std::string()};
}

void MainWindowPresenter::HistoryLogClick()
{
    HistoryLog log(store(), env_.today(), state_.templatePath, env_.prompter);
    Required(env_.journalDialogs).ShowHistoryLog(log);
}

void MainWindowPresenter::RecycleBinClick()
{
    RecycleBinPresenter bin(store(), env_.prompter, [this] { return Author(); });
    Required(env_.journalDialogs).ShowRecycleBin(bin);
    if (bin.restoredAny()) Button3Click();
}

}  // namespace quorva

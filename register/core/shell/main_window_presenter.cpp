#include "register/core/shell/main_window_presenter.h"

#include "register/core/deadlines/deadline_settings.h"
#include "register/core/deadlines/deadline_table.h"
#include "register/core/deadlines/entry_deadline.h"
#include "register/core/records/database_copy.h"
#include "register/core/records/safety_copies.h"
#include "register/core/shell/list_loader.h"
#include "register/core/entry/number_advance.h"
#include "register/core/entry/edit_conflict.h"
#include "register/core/entry/number_counters.h"
#include "register/core/entry/record_entry.h"
#include "register/core/entry/register_numbers.h"
#include "register/core/storage/change_journal.h"
#include "register/core/history/recycle_bin_presenter.h"
#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

#include <algorithm>
#include <stdexcept>

namespace quorva {

namespace {

// Polls between tries while the server is away: at most about half a minute.
constexpr int kLongestBackOff = 32;
const char* const kServerLost = "服务器连接中断";
const char* const kServerBack = "服务器连接已恢复";

}  // namespace

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
    // The mark is read before the list, so a change between the two is
    // followed once more rather than missed.
    if (store().Kind() == StoreKind::Server) seen_ = ReadChangeMark(*store().Open());
    // A failure to open or query leaves the list as it was.
    std::shared_ptr<const TSQLiteTable> result = QueryRecordList(store(), filters_);
    DeadlineBook book = ReadDeadlineBook(*store().Open(), settings());
    deadlines_ = ListDeadlines(std::move(book));
    try {
        FillRecordList(std::move(result), filters_, env_.today(), rows_, deadlines_);
    } catch (...) {
        view_.ShowRows(rows_);
        ShowOverdueCount();
        throw;
    }
    view_.ShowRows(rows_);
    ShowOverdueCount();
    if (!rows_.empty()) view_.SelectRow(static_cast<int>(rows_.size()) - 1);
}

void MainWindowPresenter::FollowChanges()
{
    if (store().Kind() != StoreKind::Server) return;
    if (pollsToSkip_ > 0) {
        --pollsToSkip_;
        return;
    }
    try {
        const ChangeMark mark = ReadChangeMark(*store().Open());
        const bool back = serverLost_;
        serverLost_ = false;
        backOff_ = 1;
        if (!back && mark == seen_) return;
        // A search result is the clerk's own question; it stays as it is.
        if (!queryMode_) ReloadKeepingPlace();
        seen_ = mark;
        view_.SetStatusText(back ? kServerBack : mark.summary);
    } catch (const std::exception&) {
        ServerLost();
    }
}

void MainWindowPresenter::ServerLost()
{
    // The list keeps what it showed; the next tries come ever less often.
    if (!serverLost_) view_.SetStatusText(kServerLost);
    serverLost_ = true;
    pollsToSkip_ = backOff_;
    backOff_ = std::min(backOff_ * 2, kLongestBackOff);
}

void MainWindowPresenter::ReloadKeepingPlace()
{
    const int selected = view_.SelectedRow();
    const std::string selectedId =
        selected >= 0 && selected < static_cast<int>(rows_.size()) ? std::string(rows_[selected].at(Column::ID)) : "";
    const int top = view_.TopRow();
    Button3Click();
    view_.ScrollToRow(top);
    for (std::size_t i = 0; i < rows_.size() && !selectedId.empty(); ++i) {
        if (rows_[i].at(Column::ID) == selectedId) {
            view_.SelectRow(static_cast<int>(i));
            break;
        }
    }
}

void MainWindowPresenter::ShowOverdueCount()
{
    view_.SetOverdueText(OverdueStatusText(deadlines_.CountOverdue(env_.today())));
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

std::unique_ptr<EntryDialog> MainWindowPresenter::CreateEntryDialog(NumberProposals* proposals, std::int64_t recordId)
{
    if (!env_.entryDialogs) throw std::logic_error("no entry dialog in this window");
    return env_.entryDialogs->CreateEntryDialog(EntryDialogContext{state_.databasePath, state_.settingsPath,
                                                                   env_.prompter, state_.templatePath, &store(),
                                                                   proposals, ReadDeadlineDays(settings()), recordId});
}

void MainWindowPresenter::newbtnClick()
{
    const CivilDate today = env_.today();
    RegisterNumbers numbers(store(), settings(), today);
    const bool shared = store().Kind() == StoreKind::Server;
    std::unique_ptr<EntryDialog> dialog = CreateEntryDialog(shared ? &numbers : nullptr);
    dialog->SetDate(EntryField::eswrq, today);
    dialog->SetDate(EntryField::efwrq, today);
    for (EntryField field : {EntryField::eswzh, EntryField::ebwh}) {
        const std::string next = numbers.Propose(field);
        if (!next.empty()) dialog->SetText(field, next);
    }
    if (!dialog->ShowModal()) return;
    if (shared) {
        StoreSharedRecord(*dialog, numbers);
    } else {
        StoreNewRecord(*dialog);
    }
}

void MainWindowPresenter::StoreSharedRecord(const EntryDialog& dialog, RegisterNumbers& numbers)
{
    std::string note;
    ReloadAfter([&] {
        RecordFields fields = PrepareRecordFields(dialog);
        const std::unique_ptr<StoreConnection> connection = store().Open();
        EnsureDocumentTable(*connection);
        StoreTransaction transaction(*connection);
        note = numbers.AllocateOnServer(*connection, fields);
        const std::int64_t id = connection->InsertRecord(InsertRecordStatement(fields));
        SaveOwnDeadline(*connection, id, OwnDeadline(dialog));
        JournalChange(*connection,
                      ChangeBy(ChangeAction::Insert, id, fields[static_cast<int>(Column::swzh)],
                               fields[static_cast<int>(Column::lrr)]),
                      Author());
        transaction.Commit();
    });
    // Told without a box: the record is stored, under the number it got.
    if (!note.empty()) view_.SetStatusText(note);
}

void MainWindowPresenter::StoreNewRecord(const EntryDialog& dialog)
{
    // Once the database is open, the counters are written and the list is
    // reloaded whatever the insert or the counters do; the first error is
    // shown afterwards.
    std::exception_ptr firstError;
    {
        const std::unique_ptr<StoreConnection> connection = store().Open();
        try {
            if (connection->HasTable(kTableName)) {
                const RecordFields fields = PrepareRecordFields(dialog);
                StoreTransaction transaction(*connection);
                const std::int64_t id = connection->InsertRecord(InsertRecordStatement(fields));
                // Also takes away any deadline a record of the same ID left.
                SaveOwnDeadline(*connection, id, OwnDeadline(dialog));
                JournalChange(*connection, ChangeBy(ChangeAction::Insert, id, fields[static_cast<int>(Column::swzh)],
                                                    fields[static_cast<int>(Column::lrr)]),
                              Author());
                transaction.Commit();
            }
        } catch (...) {
            firstError = std::current_exception();
        }
    }
    try {
        Settings current = settings();
        RecordNumbers(current, dialog.Text(EntryField::eswzh), dialog.Text(EntryField::ebwh),
                      dialog.Date(EntryField::eswrq));
    } catch (...) {
        if (!firstError) firstError = std::current_exception();
    }
    try {
        Button3Click();
    } catch (...) {
        if (!firstError) throw;
    }
    if (firstError) std::rethrow_exception(firstError);
}

void MainWindowPresenter::edtbtnClick()
{
    const int index = view_.SelectedRow();
    if (index < 0 || index >= static_cast<int>(rows_.size())) return;
    std::unique_ptr<EntryDialog> dialog = CreateEntryDialog(nullptr, RecordIdOf(rows_[static_cast<std::size_t>(index)]));
    dialog->SetCaption(kEditRecordCaption);
    FillFromRow(rows_[static_cast<std::size_t>(index)], *dialog, env_.prompter);
    const std::int64_t id = RecordIdOf(rows_[static_cast<std::size_t>(index)]);
    dialog->SetText(EntryField::eblsx, DeadlineText(deadlines_.book().Own(id)));
    if (!dialog->ShowModal()) return;

    const std::unique_ptr<StoreConnection> connection = store().Open();
    if (!connection->HasTable(kTableName)) return;
    RecordRow row = rows_[static_cast<std::size_t>(index)];
    const RecordFields fields = PrepareEditedFields(*dialog, row);
    // The clerk is asked with no lock held; a record changed again while
    // the question was up is asked about again.
    RecordRow basis = row;
    for (;;) {
        StoreTransaction transaction(*connection);
        const EditConflict conflict = FindEditConflict(*connection, basis);
        if (conflict.deleted) {
            transaction.Commit();
            env_.prompter.Show(kDeletedMeanwhile, kConflictCaption, PromptIcon::Warning, PromptButtons::Ok);
            Button3Click();
            return;
        }
        if (!conflict.any()) {
            connection->Execute(UpdateRecordStatement(fields, RecordIdOf(row)));
            SaveOwnDeadline(*connection, id, OwnDeadline(*dialog));
            RecordChange change = ChangeBy(ChangeAction::Edit, RecordIdOf(row), fields[static_cast<int>(Column::swzh)],
                                           fields[static_cast<int>(Column::lrr)]);
            change.values = ChangedValues(basis, fields);
            JournalChange(*connection, change, Author());
            transaction.Commit();
            WriteBackRow(*dialog, row);
            deadlines_.book().SetOwn(id, OwnDeadline(*dialog));
            deadlines_.Replace(static_cast<std::size_t>(index), deadlines_.Assess(row));
            break;
        }
        basis = StoredRow(*connection, RecordIdOf(row), basis);
        transaction.Commit();
        const bool keepMine = env_.prompter.Show(ConflictQuestion(conflict, fields), kConflictCaption,
                                                 PromptIcon::Warning, PromptButtons::YesNo) != PromptAnswer::No;
        if (!keepMine) {
            // The other clerk's record, with whatever deadline it now has.
            ReloadKeepingPlace();
            return;
        }
    }
    rows_.Replace(static_cast<std::size_t>(index), std::move(row));
    view_.RefreshRow(index);
    ShowOverdueCount();
}

RecordChange MainWindowPresenter::ChangeBy(ChangeAction action, std::int64_t id, const std::string& receiptNumber,
                                           const std::string& clerk) const
{
    RecordChange change{action, id, receiptNumber};
    change.clerk = clerk;
    return change;
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
const char* const kBackupTimeNotRecorded = "备份时间未能写入设置文件：";

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

// A copy that is made stays made whether or not its time can be kept.
std::optional<std::string> MainWindowPresenter::RecordBackupTime(const std::string& time)
{
    try {
        settings().WriteText(keys::kLastBackup, time);
        return std::nullopt;
    } catch (const std::exception& unwritten) {
        return ErrorBoxText(unwritten.what());
    }
}

// One box tells both the outcome and a backup time that was not recorded.
void MainWindowPresenter::TellDone(const std::string& done, const std::optional<std::string>& timeUnrecorded)
{
    if (!timeUnrecorded) {
        Message(done);
        return;
    }
    env_.prompter.Show(done + "\n" + kBackupTimeNotRecorded + *timeUnrecorded, kApplicationTitle, PromptIcon::Warning,
                       PromptButtons::Ok);
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
    const SearchInputs inputs = dialog->Inputs();
    ShowSearchResult(BuildSearchTerms(inputs), BuildDeadlineTerm(inputs));
}

void MainWindowPresenter::ShowSearchResult(const std::vector<SearchTerm>& terms,
                                           const std::optional<DeadlineTerm>& deadline)
{
    std::unique_ptr<TSQLiteTable> result;
    DeadlineBook book;
    {
        const std::unique_ptr<StoreConnection> connection = store().Open();
        if (!connection->HasTable(kTableName) || (terms.empty() && !deadline)) return;
        const StoreDialect& dialect = connection->Dialect();
        result = connection->Query(terms.empty() ? ListStatement(dialect, FlagFilter::Any, FlagFilter::Any)
                                                 : SearchStatement(dialect, terms));
        book = ReadDeadlineBook(*connection, settings());
    }
    if (!ShowResult(std::move(result), std::move(book), deadline)) {
        env_.prompter.Show(kNothingFoundText, kNothingFoundCaption, PromptIcon::Warning, PromptButtons::Ok);
    }
}

bool MainWindowPresenter::ShowFoundRecords(const RecordFinder& find)
{
    std::unique_ptr<TSQLiteTable> result;
    DeadlineBook book;
    {
        const std::unique_ptr<StoreConnection> connection = store().Open();
        if (!connection->HasTable(kTableName)) return false;
        result = find(*connection);
        book = ReadDeadlineBook(*connection, settings());
    }
    return ShowResult(std::move(result), std::move(book), std::nullopt);
}

bool MainWindowPresenter::ShowResult(std::unique_ptr<TSQLiteTable> result, DeadlineBook book,
                                     const std::optional<DeadlineTerm>& deadline)
{
    // Deadlines are matched as the rows are listed, so the list changes only
    // once something is found.
    RecordList found;
    ListDeadlines foundDeadlines(std::move(book));
    FillRecordList(std::move(result), deadline, found, foundDeadlines);
    if (found.empty()) return false;
    if (!queryMode_) {
        view_.ShowQueryMode(true);
        CheckBox6Click(true);
    }
    rows_ = std::move(found);
    deadlines_ = std::move(foundDeadlines);
    view_.ShowRows(rows_);
    ShowOverdueCount();
    return true;
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
        JournalChange(*connection, ChangeBy(ChangeAction::Delete, RecordIdOf(row), std::string(row.at(Column::swzh)), ""),
                      Author());
        connection->Execute(DeleteRecordStatement(RecordIdOf(row)));
        SaveOwnDeadline(*connection, RecordIdOf(row), std::nullopt);
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
            ClearOwnDeadlines(*connection);
            return;
        }
        StoreTransaction transaction(*connection);
        JournalChange(*connection, {ChangeAction::Clear}, Author());
        for (const std::string& statement : connection->Dialect().ClearRecordTable()) connection->Execute(statement);
        ClearOwnDeadlines(*connection);
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
    const std::optional<std::string> timeUnrecorded = RecordBackupTime(now);
    view_.SetStatusText(kLastBackupPrefix + now);
    TellDone(kBackupDone, timeUnrecorded);
}

void MainWindowPresenter::RestoreClick()
{
    const std::optional<std::string> backup = filePicker().PickBackupFile();
    if (!backup) return;
    if (!Confirmed(kRestoreQuestion, kRestoreCaption)) return;
    const ChangeAuthor author = Author();
    const std::optional<std::string> safetyCopy = store().Restore(*backup, SafetyCopyStamp(author.time), author);
    if (!safetyCopy) {
        Message(kRestoreFailed);
        return;
    }
    const std::optional<std::string> timeUnrecorded = RecordBackupTime("");
    Button3Click();
    std::string done = kRestoreDone;
    if (!safetyCopy->empty()) done += std::string("\n") + kBeforeRestoreNote + *safetyCopy;
    TellDone(done, timeUnrecorded);
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
                               state_.templatePath, state_.silentEntry, storeChoice_,
                               ReadDeadlineDays(settings()), settings().ReadBool(keys::kYearlyNumbering, false)};
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
    WriteDeadlineDays(file, chosen.deadlineDays);
    file.WriteBool(keys::kYearlyNumbering, chosen.yearlyNumbering);
    if (env_.secrets) WriteStoreChoice(file, chosen.store, *env_.secrets);
    ChooseStore(env_.secrets ? chosen.store : StoreChoice{});
    Button3Click();
}

}  // namespace quorva

// Records that another window picked, such as a group of the statistics.
namespace quorva {

void MainWindowPresenter::ShowQueryResult(const std::function<SqlStatement(const StoreDialect&)>& statement)
{
    if (ShowFoundRecords([&](StoreConnection& store) { return store.Query(statement(store.Dialect())); })) return;
    env_.prompter.Show(kNothingFoundText, kNothingFoundCaption, PromptIcon::Warning, PromptButtons::Ok);
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

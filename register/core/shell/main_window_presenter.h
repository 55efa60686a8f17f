#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "register/core/deadlines/list_deadlines.h"
#include "register/core/text/civil_date.h"
#include "register/core/entry/entry_dialog.h"
#include "register/core/shell/file_picker.h"
#include "register/core/shell/file_system.h"
#include "register/core/shell/filter_state.h"
#include "register/core/shell/prompter.h"
#include "register/core/shell/record_list.h"
#include "register/core/search/search_form.h"
#include "register/core/shell/settings_form.h"
#include "register/core/shell/startup.h"
#include "register/core/storage/change_journal.h"
#include "register/core/storage/change_mark.h"
#include "register/core/storage/store_settings.h"
#include "register/core/history/journal_dialogs.h"
#include "register/core/shell/workstation.h"

class TSQLiteTable;

namespace quorva {

class RegisterNumbers;

// What the main window shows; the window itself only puts it on screen.
class MainView {
public:
    virtual ~MainView() = default;
    virtual void ShowFilterChecks(const FilterState& filters) = 0;
    virtual void SetDaysText(const std::string& text) = 0;
    // The filter row is disabled while query mode is on.
    virtual void SetFiltersEnabled(bool enabled) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // The list's content was replaced; nothing is selected. The rows stay
    // the presenter's; the view reads the cells it draws.
    virtual void ShowRows(const RecordList& rows) = 0;
    // Selects a row and scrolls it into view.
    virtual void SelectRow(int index) = 0;
    // The selected row, or -1.
    virtual int SelectedRow() const = 0;
    // One row's texts changed in place.
    virtual void RefreshRow(int index) = 0;
    // Ticks or clears "查询模式" without raising its click.
    virtual void ShowQueryMode(bool ticked) = 0;
    // The first row in view, and scrolling a row to the top, so a reload
    // another clerk caused does not move the list under the clerk's eyes.
    virtual int TopRow() const { return 0; }
    virtual void ScrollToRow(int) {}
    // The count of overdue unfinished records among the rows shown.
    virtual void SetOverdueText(const std::string& text) = 0;
};

// Where the program finds its machine: real folders in the program, temporary
// ones in tests.
struct MainWindowEnvironment {
    FileSystem& fileSystem;
    ProfileStore& profileStore;
    Prompter& prompter;
    std::string appDataFolder;
    std::vector<std::string> defaultFolderCandidates;
    std::function<CivilDate()> today;
    EntryDialogFactory* entryDialogs = nullptr;
    SearchDialogFactory* searchDialogs = nullptr;
    SettingsDialogFactory* settingsDialogs = nullptr;
    FilePicker* filePicker = nullptr;
    // The local date and time as BFDate and the status bar show it.
    std::function<std::string()> now;
    // Keeps the server password; without one the register offers only its
    // file.
    SecretBox* secrets = nullptr;
    // Who the history names for each change; nobody when none.
    Workstation* workstation = nullptr;
    // "操作日志" and "回收站".
    JournalDialogs* journalDialogs = nullptr;
};

// The behaviour of the main window; handlers are named after the control and
// event that call them. Commands raise; the window runs them through
// RunCommand.
class MainWindowPresenter {
public:
    MainWindowPresenter(MainView& view, MainWindowEnvironment environment);

    void FormCreate();
    void FormShow();
    void FormClose();

    // The list loader.
    void Button3Click();
    // A click on one of the five filter boxes, with its state after the click.
    void FilterBoxClick(FilterBox box, bool ticked);
    // Edit1's text changed.
    void Edit1Change(const std::string& text);
    // "查询模式" changed.
    void CheckBox6Click(bool ticked);
    // "录入登记" and "收文录入": register a new document.
    void newbtnClick();
    // "编辑记录", "编辑选定" and a double click: edit the selected record.
    void edtbtnClick();
    // "查询": search and show the result in query mode.
    void SearchClick();
    // The records matching `terms` as a search result in query mode; none
    // found gives the warning and leaves the list as it was.
    void ShowSearchResult(const std::vector<SearchTerm>& terms,
                          const std::optional<DeadlineTerm>& deadline = std::nullopt);
    // The records `find` reads as a search result in query mode. False,
    // with no warning and the list as it was, when it reads none or the
    // table is missing.
    using RecordFinder = std::function<std::unique_ptr<TSQLiteTable>(StoreConnection&)>;
    bool ShowFoundRecords(const RecordFinder& find);
    // "删除选定" / "删除选中记录" and "全部清空" / "清空全部记录".
    void DeleteSelectedClick();
    void ClearAllClick();
    // The system menu's "备份", "恢复" and "设置".
    void BackupClick();
    void RestoreClick();
    void SettingsClick();
    // The system menu's "操作日志" and "回收站".
    void HistoryLogClick();
    void RecycleBinClick();
    // Who changes the records now, and when, as the history keeps it.
    ChangeAuthor Author() const;

    const MainWindowState& state() const { return state_; }
    // Where the records are: the file or the server, as the settings choose.
    Store& store();
    const StoreChoice& storeChoice() const { return storeChoice_; }
    const FilterState& filters() const { return filters_; }
    // The rows as shown, as texts.
    const RecordList& rows() const { return rows_; }
    bool queryMode() const { return queryMode_; }
    // The deadline of each row as shown.
    const ListDeadlines& deadlines() const { return deadlines_; }
    Settings settings() { return Settings(env_.profileStore, state_.settingsPath); }
    Prompter& prompter() { return env_.prompter; }
    // A change of the records, made here and now, for its journal.
    RecordChange ChangeBy(ChangeAction action, std::int64_t id, const std::string& receiptNumber,
                          const std::string& clerk) const;
    // Once a second while no dialog is open: on a shared register, reloads
    // the list when another clerk changed the records, keeping the selected
    // record and the scroll position, and follows a lost server until it is
    // back.
    void FollowChanges();
    CivilDate today() const { return env_.today(); }

    // The records a statement selects, made for the store's dialect, as a
    // search result in query mode; none found gives the warning and leaves
    // the list as it was.
    void ShowQueryResult(const std::function<SqlStatement(const StoreDialect&)>& statement);

private:
    class Actions;
    // `recordId` is the edited record's, none for a new one.
    std::unique_ptr<EntryDialog> CreateEntryDialog(NumberProposals* proposals = nullptr, std::int64_t recordId = 0);
    void ChooseStore(const StoreChoice& choice);
    void StoreNewRecord(const EntryDialog& dialog);
    void StoreSharedRecord(const EntryDialog& dialog, RegisterNumbers& numbers);
    // Shows a search result's rows; false when it has none.
    bool ShowResult(std::unique_ptr<TSQLiteTable> result, DeadlineBook book,
                    const std::optional<DeadlineTerm>& deadline);
    void ShowOverdueCount();
    // Runs a change of the database, then reloads the list also when the
    // change failed; the change's error wins.
    template <typename Change>
    void ReloadAfter(Change&& change);
    void Message(const std::string& text);
    void ReloadKeepingPlace();
    void ServerLost();
    // The time of the last backup ("" after a restore) into the settings
    // file; the error's text when it could not be written.
    std::optional<std::string> RecordBackupTime(const std::string& time);
    void TellDone(const std::string& done, const std::optional<std::string>& timeUnrecorded);
    bool Confirmed(const std::string& text, const std::string& caption);
    FilePicker& filePicker();

    MainView& view_;
    MainWindowEnvironment env_;
    MainWindowState state_;
    StoreChoice storeChoice_;
    std::unique_ptr<Store> store_;
    FilterState filters_;
    RecordList rows_;
    ListDeadlines deadlines_;
    bool queryMode_ = false;
    bool created_ = false;
    // What the list last showed of the shared register, and how the server
    // is being followed.
    ChangeMark seen_;
    bool serverLost_ = false;
    int pollsToSkip_ = 0;
    int backOff_ = 1;
};

}  // namespace quorva

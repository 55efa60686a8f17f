#include "register/core/main_window_presenter.h"

#include "register/core/list_loader.h"
#include "register/core/number_advance.h"
#include "register/core/record_entry.h"
#include "register/store/sqlite_database.h"
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
    // Restoring the boxes and the days text loads nothing.
    view_.ShowFilterChecks(filters_);
    view_.SetDaysText(filters_.days());
    view_.SetStatusText(startup.statusText);
    // The scanner-service start-up link belongs here, last of the creation.
    created_ = true;
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
    std::unique_ptr<TSQLiteTable> result = QueryRecordList(state_.databasePath, filters_);
    rows_.clear();
    try {
        AppendRecordRows(*result, filters_, env_.today(), rows_);
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

std::unique_ptr<EntryDialog> MainWindowPresenter::CreateEntryDialog()
{
    if (!env_.entryDialogs) throw std::logic_error("no entry dialog in this window");
    return env_.entryDialogs->CreateEntryDialog(
        EntryDialogContext{state_.databasePath, state_.settingsPath, env_.prompter, state_.templatePath});
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
        TSQLiteDatabase db(state_.databasePath);
        try {
            if (db.HasTable(kTableName)) db.Execute(InsertRecordStatement(PrepareRecordFields(dialog)));
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
    std::unique_ptr<EntryDialog> dialog = CreateEntryDialog();
    dialog->SetCaption(kEditRecordCaption);
    FillFromRow(rows_[static_cast<std::size_t>(index)], *dialog, env_.prompter);
    if (!dialog->ShowModal()) return;

    TSQLiteDatabase db(state_.databasePath);
    if (!db.HasTable(kTableName)) return;
    RecordRow& row = rows_[static_cast<std::size_t>(index)];
    long long id = 0;
    if (!ParseWholeNumber(std::string(row.at(Column::ID)), id)) {
        throw std::runtime_error("'" + std::string(row.at(Column::ID)) + "' is not a valid integer value");
    }
    db.Execute(UpdateRecordStatement(PrepareRecordFields(*dialog), id));
    WriteBackRow(*dialog, row);
    view_.RefreshRow(index);
}

}  // namespace quorva

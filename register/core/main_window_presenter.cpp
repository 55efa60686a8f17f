#include "register/core/main_window_presenter.h"

#include "register/core/list_loader.h"
#include "register/store/sqlite_table.h"

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

#pragma once

#include <cstdint>
#include <string>

#include "register/core/history/change_history.h"
#include "register/core/history/journal_rows.h"
#include "register/core/shell/prompter.h"

// The windows of the history and the recycle bin, as the main window opens
// them from its system menu.
namespace quorva {

class Store;
class RecycleBinPresenter;

// "操作日志": every history row, filtered by date range and action.
class HistoryLog {
public:
    HistoryLog(Store& store, const CivilDate& today, std::string templatePath, Prompter& prompter)
        : store_(store), today_(today), templatePath_(std::move(templatePath)), prompter_(prompter)
    {
    }

    // The last month, every action.
    HistoryFilter DefaultFilter() const;
    JournalRows Read(const HistoryFilter& filter);
    // What the export needs: the template that tells which spreadsheet to
    // try first, and where its messages go.
    const std::string& templatePath() const { return templatePath_; }
    Prompter& prompter() { return prompter_; }

private:
    Store& store_;
    CivilDate today_;
    std::string templatePath_;
    Prompter& prompter_;
};

// "修改记录" of the edit dialog.
JournalRows RecordHistoryRows(Store& store, std::int64_t id);

class JournalDialogs {
public:
    virtual ~JournalDialogs() = default;
    virtual void ShowHistoryLog(HistoryLog& log) = 0;
    virtual void ShowRecycleBin(RecycleBinPresenter& bin) = 0;
};

}  // namespace quorva

#pragma once

#include "register/core/history/journal_dialogs.h"
#include "register/win32/platform/modal_dialog.h"

// The history in a list: "修改记录", one record's rows as the edit dialog
// read them, or "操作日志", every row of a date range and an action, read
// anew for each 查询 and exportable.
class THistoryForm final : private ModalDialog {
public:
    enum ControlId : int { kList = 1001, kFrom, kTo, kAction, kQuery, kExport, kClose };

    THistoryForm(HWND owner, quorva::JournalRows rows);
    THistoryForm(HWND owner, quorva::HistoryLog& log);

    void ShowModal();

private:
    bool OnInit() override;
    void OnLayout(int width, int height) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    void CreateFilterRow();
    void ShowFilter(const quorva::HistoryFilter& filter);
    quorva::HistoryFilter Filter() const;
    void Query();
    void Export();

    HWND owner_;
    quorva::HistoryLog* log_ = nullptr;
    quorva::JournalRows rows_;
};

#pragma once

#include <windows.h>

#include "register/core/history/journal_dialogs.h"

// Opens "操作日志" and "回收站" over the main window.
class Win32JournalDialogs final : public quorva::JournalDialogs {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    void ShowHistoryLog(quorva::HistoryLog& log) override;
    void ShowRecycleBin(quorva::RecycleBinPresenter& bin) override;

private:
    HWND owner_ = nullptr;
};

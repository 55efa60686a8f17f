#include "register/win32/history/journal_dialogs.h"

#include "register/win32/history/history_form.h"
#include "register/win32/history/recycle_bin_form.h"

void Win32JournalDialogs::ShowHistoryLog(quorva::HistoryLog& log)
{
    THistoryForm(owner_, log).ShowModal();
}

void Win32JournalDialogs::ShowRecycleBin(quorva::RecycleBinPresenter& bin)
{
    TRecycleBinForm(owner_, bin).ShowModal();
}

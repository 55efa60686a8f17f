#pragma once

#include <windows.h>
#include <commctrl.h>

#include "register/core/history/journal_rows.h"

// The report list of the history and recycle-bin windows: owner data, so a
// log of a million rows costs what reading it costs, and only the cells
// drawn are ever turned into UTF-16.
namespace journal_list {

// Adds the layout's captions as columns of `list`.
void AddColumns(HWND list, const quorva::JournalLayout& layout);
// The list shows `rows` afresh, nothing selected.
void Show(HWND list, const quorva::JournalRows& rows);
// Answers the list's request for a cell; true when `header` was one.
bool FillCell(const NMHDR& header, HWND list, const quorva::JournalRows& rows);

}  // namespace journal_list

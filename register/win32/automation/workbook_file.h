#pragma once

#include <windows.h>

#include <string>

#include "register/core/automation/sheet_table.h"
#include "register/core/deadlines/list_deadlines.h"
#include "register/core/shell/record_list.h"

// "导出列表" where no spreadsheet can be driven: the rows the list shows, as
// an .xlsx file that the clerk names in a save dialog owned by `owner`, then
// shown to the clerk. Nothing happens when the dialog is cancelled.
void ExportWorkbookFile(const quorva::RecordList& rows, HWND owner, const quorva::ListDeadlines& deadlines);

// Any table the same way, under the dialog title `command` and the proposed
// name "<namePrefix>yyyymmdd.xlsx".
void ExportTableWorkbookFile(const quorva::SheetTable& table, HWND owner, const std::string& command,
                             const std::string& namePrefix);

#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "register/core/automation/list_export.h"
#include "register/core/deadlines/list_deadlines.h"
#include "register/core/shell/prompter.h"
#include "register/core/shell/record_list.h"
#include "register/core/records/record_row.h"
#include "register/win32/automation/dispatch.h"

// "导出列表": the rows the list shows into a new workbook of Excel or the WPS
// spreadsheet, left open and unsaved; where neither can be driven, into an
// .xlsx file named in a save dialog owned by `owner`.
// `deadlines` are the rows' own, in the same order.
void ExportList(const quorva::RecordList& rows, const std::string& templatePath, HWND owner,
                const quorva::ListDeadlines& deadlines = quorva::ListDeadlines());

// A new workbook in view, with its title merged over `columns` columns and
// its caption row bold.
void StartSheet(const Dispatch& application, const std::string& title, int columns);
void WriteSheetHead(const Dispatch& application);
void WriteSheetRow(const Dispatch& application, const quorva::RecordRow& row, std::size_t index,
                   const std::string& deadline);

// The sheet's calls on an application object, in their fixed order: any
// rows that read by number, the list as shown or rows made by hand, with
// the deadline of row i as deadlineOf(i).
template <class Rows, class Deadlines>
void WriteSheet(const Dispatch& application, const Rows& rows, Deadlines&& deadlineOf)
{
    WriteSheetHead(application);
    // Cell by cell, as the clerk watches the sheet fill.
    for (std::size_t i = 0; i < rows.size(); ++i)
        WriteSheetRow(application, rows[i], i, deadlineOf(i));
}

template <class Rows>
void WriteSheet(const Dispatch& application, const Rows& rows)
{
    WriteSheet(application, rows, [](std::size_t) { return std::string(); });
}

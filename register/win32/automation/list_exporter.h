#pragma once

#include <cstddef>
#include <string>

#include "register/core/automation/list_export.h"
#include "register/core/shell/prompter.h"
#include "register/core/shell/record_list.h"
#include "register/core/records/record_row.h"
#include "register/win32/automation/dispatch.h"

// "导出列表": the rows the list shows into a new workbook of Excel or the WPS
// spreadsheet, left open and unsaved.
void ExportList(const quorva::RecordList& rows, const std::string& templatePath, quorva::Prompter& prompter);
// Another table, such as the history, the same way.
void ExportSheet(const quorva::SheetSource& source, const std::string& templatePath, quorva::Prompter& prompter);

void WriteSheetHead(const Dispatch& application);
void WriteSheetRow(const Dispatch& application, const quorva::RecordRow& row, std::size_t index);

// The sheet's calls on an application object, in their fixed order: any
// rows that read by number, the list as shown or rows made by hand.
template <class Rows>
void WriteSheet(const Dispatch& application, const Rows& rows)
{
    WriteSheetHead(application);
    // Cell by cell, as the clerk watches the sheet fill.
    for (std::size_t i = 0; i < rows.size(); ++i)
        WriteSheetRow(application, rows[i], i);
}

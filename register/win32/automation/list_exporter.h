#pragma once

#include <string>
#include <vector>

#include "register/core/prompter.h"
#include "register/core/record_row.h"
#include "register/win32/automation/dispatch.h"

// "导出列表": the rows the list shows into a new workbook of Excel or the WPS
// spreadsheet, left open and unsaved.
void ExportList(const std::vector<quorva::RecordRow>& rows, const std::string& templatePath, quorva::Prompter& prompter);

// The sheet's calls on an application object, in their fixed order.
void WriteSheet(const Dispatch& application, const std::vector<quorva::RecordRow>& rows);

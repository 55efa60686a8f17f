#pragma once

#include <string>

#include "register/core/automation/sheet_table.h"
#include "register/core/shell/prompter.h"

// A table of any width into a new workbook of Excel or the WPS spreadsheet,
// in the list export's layout and by the same road (the template decides
// which application is tried first), left open and unsaved.
void ExportTable(const quorva::SheetTable& table, const std::string& templatePath, quorva::Prompter& prompter);

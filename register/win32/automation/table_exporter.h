#pragma once

#include <windows.h>

#include <string>

#include "register/core/automation/sheet_table.h"

// A table of any width into a new workbook of Excel or the WPS spreadsheet,
// in the list export's layout and by the same road (the template decides
// which application is tried first), left open and unsaved; without either,
// an .xlsx file the clerk names, under the dialog title `command` and the
// proposed name "<namePrefix>yyyymmdd.xlsx".
void ExportTable(const quorva::SheetTable& table, const std::string& templatePath, HWND owner,
                 const std::string& command, const std::string& namePrefix);

#include "register/win32/automation/table_exporter.h"

#include "register/core/automation/list_export.h"
#include "register/core/automation/office_automation.h"
#include "register/win32/automation/list_exporter.h"
#include "register/win32/automation/office_application.h"
#include "register/win32/automation/workbook_file.h"

namespace {

using namespace quorva;

Dispatch CellOf(const Dispatch& owner, int row, int column)
{
    return owner.Property(L"Cells", {row, column});
}

void WriteRow(const Dispatch& application, int row, const std::vector<std::string>& cells)
{
    for (std::size_t k = 0; k < cells.size(); ++k) CellOf(application, row, static_cast<int>(k) + 1).Put(L"Value", cells[k]);
}

}  // namespace

void ExportTable(const SheetTable& table, const std::string& templatePath, HWND owner, const std::string& command,
                 const std::string& namePrefix)
{
    const Dispatch application = AcquireApplication(SpreadsheetOrder(templatePath));
    if (!application) {
        ExportTableWorkbookFile(table, owner, command, namePrefix);
        return;
    }
    StartSheet(application, table.title, static_cast<int>(table.headers.size()));
    WriteRow(application, kHeaderRow, table.headers);
    for (std::size_t i = 0; i < table.rows.size(); ++i) WriteRow(application, SheetRowOf(i), table.rows[i]);
}

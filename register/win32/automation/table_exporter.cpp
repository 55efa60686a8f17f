#include "register/win32/automation/table_exporter.h"

#include "register/core/automation/list_export.h"
#include "register/core/automation/office_automation.h"
#include "register/win32/automation/office_application.h"
#include "register/win32/automation/workbook_file.h"

namespace {

using namespace quorva;

Dispatch CellOf(const Dispatch& owner, int row, int column)
{
    return owner.Property(L"Cells", {row, column});
}

void WriteTitleOver(const Dispatch& application, const std::string& title, int columns)
{
    const Dispatch cell = CellOf(application, kTitleRow, 1);
    cell.Put(L"Value", title);
    cell.Put(L"HorizontalAlignment", kTitleHorizontalAlignment);
    cell.Put(L"VerticalAlignment", kTitleVerticalAlignment);
    cell.Property(L"Font").Put(L"size", kTitleFontSize);
    const Dispatch sheet = application.Property(L"ActiveSheet");
    sheet.Property(L"Range", {CellOf(sheet, kTitleRow, 1), CellOf(sheet, kTitleRow, columns)}).Call(L"Merge");
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
    application.Property(L"Application").Put(L"Visible", true);
    application.Property(L"WorkBooks").Call(L"Add");
    WriteTitleOver(application, table.title, static_cast<int>(table.headers.size()));
    application.Property(L"Rows", {kHeaderRow}).Property(L"Font").Put(L"Bold", true);
    WriteRow(application, kHeaderRow, table.headers);
    for (std::size_t i = 0; i < table.rows.size(); ++i) WriteRow(application, SheetRowOf(i), table.rows[i]);
}

#include "register/win32/automation/list_exporter.h"

#include "register/core/automation/list_export.h"
#include "register/win32/automation/office_application.h"
#include "register/win32/automation/workbook_file.h"

namespace {

Dispatch Cell(const Dispatch& owner, int row, int column)
{
    return owner.Property(L"Cells", {row, column});
}

void WriteTitle(const Dispatch& application, const std::string& title, int columns)
{
    using namespace quorva;
    Cell(application, kTitleRow, 1).Put(L"Value", title);
    Cell(application, kTitleRow, 1).Put(L"HorizontalAlignment", kTitleHorizontalAlignment);
    Cell(application, kTitleRow, 1).Put(L"VerticalAlignment", kTitleVerticalAlignment);
    Cell(application, kTitleRow, 1).Property(L"Font").Put(L"size", kTitleFontSize);
    const Dispatch sheet = application.Property(L"ActiveSheet");
    const Dispatch first = Cell(application.Property(L"ActiveSheet"), kTitleRow, 1);
    const Dispatch last = Cell(application.Property(L"ActiveSheet"), kTitleRow, columns);
    sheet.Property(L"Range", {first, last}).Call(L"Merge");
}

// A new workbook in view, with its title and its bold caption row.
void StartSheet(const Dispatch& application, const std::string& title, int columns)
{
    application.Property(L"Application").Put(L"Visible", true);
    application.Property(L"WorkBooks").Call(L"Add");
    WriteTitle(application, title, columns);
    application.Property(L"Rows", {quorva::kHeaderRow}).Property(L"Font").Put(L"Bold", true);
}

}  // namespace

void WriteSheetHead(const Dispatch& application)
{
    using namespace quorva;
    StartSheet(application, kSheetTitle, kSheetColumnCount);
    for (int k = 0; k < kSheetColumnCount; ++k) {
        Cell(application, kHeaderRow, k + 1).Put(L"Value", SheetHeaders()[static_cast<std::size_t>(k)]);
    }
}

void WriteSheetRow(const Dispatch& application, const quorva::RecordRow& row, std::size_t index,
                   const std::string& deadline)
{
    using namespace quorva;
    const auto cells = SheetCells(row, index, deadline);
    for (int k = 0; k < kSheetColumnCount; ++k) {
        Cell(application, SheetRowOf(index), k + 1).Put(L"Value", cells[static_cast<std::size_t>(k)]);
    }
}

void ExportList(const quorva::RecordList& rows, const std::string& templatePath, HWND owner,
                const quorva::ListDeadlines& deadlines)
{
    const Dispatch application = AcquireApplication(quorva::SpreadsheetOrder(templatePath));
    if (!application) {
        ExportWorkbookFile(rows, owner, deadlines);
        return;
    }
    WriteSheet(application, rows, [&](std::size_t i) { return quorva::DeadlineText(deadlines.DeadlineOf(i)); });
}

#include "register/win32/automation/list_exporter.h"

#include "register/core/automation/list_export.h"
#include "register/win32/automation/office_application.h"

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

// The spreadsheet to write into, or nothing after telling the clerk.
Dispatch SpreadsheetOrMessage(const std::string& templatePath, quorva::Prompter& prompter)
{
    Dispatch application = AcquireApplication(quorva::SpreadsheetOrder(templatePath));
    if (!application) {
        prompter.Show(quorva::kNoSpreadsheetMessage, quorva::kApplicationTitle, quorva::PromptIcon::None,
                      quorva::PromptButtons::Ok);
    }
    return application;
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

void WriteSheetRow(const Dispatch& application, const quorva::RecordRow& row, std::size_t index)
{
    using namespace quorva;
    const auto cells = SheetCells(row, index);
    for (int k = 0; k < kSheetColumnCount; ++k) {
        Cell(application, SheetRowOf(index), k + 1).Put(L"Value", cells[static_cast<std::size_t>(k)]);
    }
}

void ExportList(const quorva::RecordList& rows, const std::string& templatePath, quorva::Prompter& prompter)
{
    const Dispatch application = SpreadsheetOrMessage(templatePath, prompter);
    if (application) WriteSheet(application, rows);
}

void ExportSheet(const quorva::SheetSource& source, const std::string& templatePath, quorva::Prompter& prompter)
{
    const Dispatch application = SpreadsheetOrMessage(templatePath, prompter);
    if (!application) return;
    const std::vector<std::string> captions = source.SheetCaptions();
    const int columns = static_cast<int>(captions.size());
    StartSheet(application, source.SheetTitle(), columns);
    for (int k = 0; k < columns; ++k) Cell(application, quorva::kHeaderRow, k + 1).Put(L"Value", captions[static_cast<std::size_t>(k)]);
    for (std::size_t i = 0; i < source.SheetRowCount(); ++i) {
        for (int k = 0; k < columns; ++k) Cell(application, quorva::SheetRowOf(i), k + 1).Put(L"Value", source.SheetCell(i, k));
    }
}

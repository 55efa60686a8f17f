// Writes what check_office_files.py gives to LibreOffice and openpyxl: both
// split-placeholder templates filled with 25 values, the list of a few rows
// and a statistics table as .xlsx files, and beside them, NUL-separated, what they must hold.
#include <fstream>
#include <iostream>

#include "register/core/automation/form_template.h"
#include "register/core/automation/list_export.h"
#include "register/core/automation/list_workbook.h"
#include "tests/support/fake_entry_dialog.h"
#include "tests/support/form_samples.h"

namespace {

using quorva::EntryField;

void Write(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

FakeEntryDialog Dialog()
{
    FakeEntryDialog dialog;
    for (int f = 0; f <= static_cast<int>(EntryField::ebz); ++f)
        dialog.SetText(static_cast<EntryField>(f), "第" + std::to_string(f) + "项");
    dialog.SetText(EntryField::ewh, "发[2026]3号");
    dialog.SetText(EntryField::ewjbt, "关于𠀋与𪚥的通知");
    dialog.SetText(EntryField::eybyj, "拟办一\r\n拟办二");
    dialog.SetText(EntryField::ebz, "");
    dialog.SetDate(EntryField::eswrq, {2026, 12, 7});
    return dialog;
}

std::vector<quorva::RecordRow> Rows()
{
    const char* const texts[] = {"𠀋", "20261207", "", "𪚥𠀋记", "发[2026]3号"};
    std::vector<quorva::RecordRow> rows(4);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int j = 0; j < quorva::kRecordRowItemCount; ++j) rows[r].SetItem(j, texts[(r + j) % std::size(texts)]);
    return rows;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: office_file_samples <folder>\n";
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const auto fills = quorva::ApprovalFormFills(Dialog());
    std::vector<std::string> placeholders;
    std::string expected;
    for (const auto& fill : fills) {
        placeholders.push_back(fill.placeholder);
        expected += fill.placeholder + '\0' + fill.value + '\0';
    }
    Write(folder + "fills.bin", expected);
    Write(folder + "form_docx.docx", quorva::FillFormTemplate(SplitPlaceholderDocx(placeholders), fills).contents);
    Write(folder + "form_rtf.rtf", quorva::FillFormTemplate(SplitPlaceholderRtf(placeholders), fills).contents);

    // A record separator after each row, header row first.
    const auto rows = Rows();
    std::string cells;
    for (const char* header : quorva::SheetHeaders()) cells += std::string(header) + '\0';
    for (std::size_t i = 0; i < rows.size(); ++i) {
        cells += '\x1e';
        for (const std::string& cell : quorva::SheetCells(rows[i], i)) cells += cell + '\0';
    }
    Write(folder + "cells.bin", cells);
    quorva::WriteListWorkbook(rows, folder + "list.xlsx");
    quorva::WriteTableWorkbook({"收文统计", {"文种", "件数"}, {{"通知", "2"}, {"合计", "2"}}}, folder + "table.xlsx");
    return 0;
}

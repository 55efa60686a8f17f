#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "register/core/automation/sheet_table.h"
#include "register/core/records/record_row.h"
#include "register/core/text/civil_date.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// The list written as an .xlsx file, without a spreadsheet application, in
// the sheet layout of the automation export: the merged title, the bold
// header row, every cell as text.
namespace quorva {

inline constexpr const char* kWorkbookDefaultName = "收文登记_";
inline constexpr const char* kWorkbookExtension = ".xlsx";

// "收文登记_yyyymmdd.xlsx", the name the save dialog proposes.
std::string DefaultWorkbookName(const CivilDate& today);

// Opened on a path that the C runtime's fopen takes; nothing is written
// there until Close. Rows are written as they come and not kept, so a long
// list needs no more memory than a short one.
class ListWorkbook {
public:
    explicit ListWorkbook(const std::string& path);
    // Any table's head: its title merged over its headers.
    ListWorkbook(const std::string& path, const std::string& title, const std::vector<std::string>& headers);
    ~ListWorkbook();
    ListWorkbook(const ListWorkbook&) = delete;
    ListWorkbook& operator=(const ListWorkbook&) = delete;

    // The list row at `index`, in list order, with its deadline (yyyymmdd).
    void AddRow(const RecordRow& row, std::size_t index, const std::string& deadline = "");
    // The table row at `index`, its cells in column order.
    void AddCells(std::size_t index, const std::vector<std::string>& cells);
    // Writes the file; raises when it cannot.
    void Close();

private:
    void WriteHead(const std::string& title, const std::vector<std::string>& headers);
    void WriteCell(int row, int column, const std::string& text, lxw_format* format = nullptr);
    void AddCellsAt(int row, const std::vector<std::string>& cells, lxw_format* format = nullptr);

    lxw_workbook* workbook_;
    lxw_worksheet* sheet_ = nullptr;
};

// Any rows that read by number: the list as shown, or rows made by hand;
// `deadlineOf(i)` gives the deadline of row i.
template <class Rows, class Deadlines>
void WriteListWorkbook(const Rows& rows, const std::string& path, const Deadlines& deadlineOf)
{
    ListWorkbook workbook(path);
    for (std::size_t i = 0; i < rows.size(); ++i) workbook.AddRow(rows[i], i, deadlineOf(i));
    workbook.Close();
}

template <class Rows>
void WriteListWorkbook(const Rows& rows, const std::string& path)
{
    WriteListWorkbook(rows, path, [](std::size_t) { return std::string(); });
}

// A table of any width, in the same layout.
void WriteTableWorkbook(const SheetTable& table, const std::string& path);

}  // namespace quorva

#include "register/core/automation/list_workbook.h"

#include <xlsxwriter.h>

#include <stdexcept>
#include <vector>

#include "register/core/automation/list_export.h"

namespace quorva {

namespace {

// A cell holds at most this many characters; libxlsxwriter refuses longer
// text and writes nothing.
constexpr std::size_t kCellCharacterLimit = 32767;

[[noreturn]] void ThrowWorkbookError(lxw_error error)
{
    throw std::runtime_error(std::string("导出文件写入失败：") + lxw_strerror(error));
}

void Check(lxw_error error)
{
    if (error != LXW_NO_ERROR) ThrowWorkbookError(error);
}

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The text, or in `cut` as much of it as a cell holds, ending at a
// character's start.
const char* CellText(const std::string& text, std::string& cut)
{
    if (text.size() <= kCellCharacterLimit) return text.c_str();
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsContinuationByte(text[i])) continue;
        if (++characters > kCellCharacterLimit) {
            cut = text.substr(0, i);
            return cut.c_str();
        }
    }
    return text.c_str();
}

std::string FolderOf(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

}  // namespace

std::string DefaultWorkbookName(const CivilDate& today)
{
    return kWorkbookDefaultName + today.ToCompact() + kWorkbookExtension;
}

ListWorkbook::ListWorkbook(const std::string& path)
    : ListWorkbook(path, kSheetTitle, std::vector<std::string>(SheetHeaders().begin(), SheetHeaders().end()))
{
}

ListWorkbook::ListWorkbook(const std::string& path, const std::string& title, const std::vector<std::string>& headers)
{
    // Rows go to a scratch file beside the workbook as they are written.
    const std::string folder = FolderOf(path);
    std::vector<char> scratchFolder(folder.c_str(), folder.c_str() + folder.size() + 1);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratchFolder.size() > 1 ? scratchFolder.data() : nullptr;
    workbook_ = workbook_new_opt(path.c_str(), &options);
    if (!workbook_) ThrowWorkbookError(LXW_ERROR_MEMORY_MALLOC_FAILED);
    sheet_ = workbook_add_worksheet(workbook_, nullptr);
    if (!sheet_) {
        lxw_workbook_free(workbook_);
        ThrowWorkbookError(LXW_ERROR_MEMORY_MALLOC_FAILED);
    }
    WriteHead(title, headers);
}

ListWorkbook::~ListWorkbook()
{
    if (workbook_) lxw_workbook_free(workbook_);
}

// The automation export's alignment codes 3 and 2 are centred across and
// centred down.
void ListWorkbook::WriteHead(const std::string& title, const std::vector<std::string>& headers)
{
    lxw_format* titleFormat = workbook_add_format(workbook_);
    format_set_font_size(titleFormat, kTitleFontSize);
    format_set_align(titleFormat, LXW_ALIGN_CENTER);
    format_set_align(titleFormat, LXW_ALIGN_VERTICAL_CENTER);
    const lxw_col_t lastColumn = static_cast<lxw_col_t>(headers.empty() ? 0 : headers.size() - 1);
    if (lastColumn > 0) {
        Check(worksheet_merge_range(sheet_, kTitleRow - 1, 0, kTitleRow - 1, lastColumn, title.c_str(), titleFormat));
    } else {
        WriteCell(kTitleRow, 1, title, titleFormat);
    }
    lxw_format* bold = workbook_add_format(workbook_);
    format_set_bold(bold);
    Check(worksheet_set_row(sheet_, kHeaderRow - 1, LXW_DEF_ROW_HEIGHT, bold));
    AddCellsAt(kHeaderRow, headers, bold);
}

void ListWorkbook::AddCellsAt(int row, const std::vector<std::string>& cells, lxw_format* format)
{
    for (std::size_t k = 0; k < cells.size(); ++k) WriteCell(row, static_cast<int>(k) + 1, cells[k], format);
}

void ListWorkbook::AddCells(std::size_t index, const std::vector<std::string>& cells)
{
    AddCellsAt(SheetRowOf(index), cells);
}

void ListWorkbook::WriteCell(int row, int column, const std::string& text, lxw_format* format)
{
    std::string cut;
    Check(worksheet_write_string(sheet_, static_cast<lxw_row_t>(row - 1), static_cast<lxw_col_t>(column - 1),
                                 CellText(text, cut), format));
}

void ListWorkbook::AddRow(const RecordRow& row, std::size_t index, const std::string& deadline)
{
    const auto cells = SheetCells(row, index, deadline);
    for (int k = 0; k < kSheetColumnCount; ++k) WriteCell(SheetRowOf(index), k + 1, cells[static_cast<std::size_t>(k)]);
}

void ListWorkbook::Close()
{
    lxw_workbook* workbook = workbook_;
    workbook_ = nullptr;
    Check(workbook_close(workbook));
}

void WriteTableWorkbook(const SheetTable& table, const std::string& path)
{
    ListWorkbook workbook(path, table.title, table.headers);
    for (std::size_t i = 0; i < table.rows.size(); ++i) workbook.AddCells(i, table.rows[i]);
    workbook.Close();
}

}  // namespace quorva

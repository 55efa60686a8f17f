#pragma once

#include <array>
#include <string>
#include <vector>

#include "register/core/records/record_row.h"

// The sheet the list is exported to: a merged title row, a bold header row
// and one row per list row, every cell written as text.
namespace quorva {

inline constexpr const char* kNoSpreadsheetMessage = "亲，您的系统需要安装有Excel或WPS来导出记录哦。";
inline constexpr const char* kSheetTitle = "Marivel记录列表";

inline constexpr int kSheetColumnCount = 26;
inline constexpr int kTitleRow = 1;
inline constexpr int kHeaderRow = 3;
inline constexpr int kFirstDataRow = 4;
inline constexpr int kTitleFontSize = 18;
inline constexpr int kTitleHorizontalAlignment = 3;
inline constexpr int kTitleVerticalAlignment = 2;

// The captions of the list's first 26 columns; the hidden ID is not one.
const std::array<const char*, kSheetColumnCount>& SheetHeaders();

// Sheet row of the list row at `index` (from 0).
int SheetRowOf(std::size_t index);

// The 26 cells of one list row: its running number, counted by the export
// from 1, then its 25 field texts; never the ID.
std::array<std::string, kSheetColumnCount> SheetCells(const RecordRow& row, std::size_t index);

// Any other table exported the same way: a merged title, bold captions and
// every cell as text.
class SheetSource {
public:
    virtual ~SheetSource() = default;
    virtual std::string SheetTitle() const = 0;
    virtual std::vector<std::string> SheetCaptions() const = 0;
    virtual std::size_t SheetRowCount() const = 0;
    virtual std::string SheetCell(std::size_t row, int column) const = 0;
};

}  // namespace quorva

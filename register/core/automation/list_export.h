#pragma once

#include <array>
#include <string>
#include <vector>

#include "register/core/records/record_row.h"

// The sheet the list is exported to: a merged title row, a bold header row
// and one row per list row, every cell written as text.
namespace quorva {

inline constexpr const char* kSheetTitle = "Marivel记录列表";

// The list's first 26 columns, then the deadline.
inline constexpr int kSheetColumnCount = 27;
inline constexpr int kTitleRow = 1;
inline constexpr int kHeaderRow = 3;
inline constexpr int kFirstDataRow = 4;
inline constexpr int kTitleFontSize = 18;
inline constexpr int kTitleHorizontalAlignment = 3;
inline constexpr int kTitleVerticalAlignment = 2;

// The captions of the list's first 26 columns and "办理时限"; the hidden ID
// is not one.
const std::array<const char*, kSheetColumnCount>& SheetHeaders();

// Sheet row of the list row at `index` (from 0).
int SheetRowOf(std::size_t index);

// The cells of one list row: its running number, counted by the export from
// 1, its 25 field texts and its deadline (yyyymmdd); never the ID.
std::array<std::string, kSheetColumnCount> SheetCells(const RecordRow& row, std::size_t index,
                                                      const std::string& deadline = "");

}  // namespace quorva

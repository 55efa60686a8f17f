#include "register/core/automation/list_export.h"

namespace quorva {

const std::array<const char*, kSheetColumnCount>& SheetHeaders()
{
    static const std::array<const char*, kSheetColumnCount> headers = {
        "序号",     "收文日期", "收文编号", "来文单位", "文种",     "来文字号",     "密级",
        "缓急",     "文件标题", "拟办意见", "请办意见", "批办意见", "办文编号",     "已呈批",
        "经办人",   "发文日期", "主送单位", "条码编号", "条码制作单位", "制作日期", "发布层次",
        "已办结",   "存档号",   "录入人",   "办理结果", "备注",     "办理时限",
    };
    return headers;
}

int SheetRowOf(std::size_t index)
{
    return static_cast<int>(index) + kFirstDataRow;
}

std::array<std::string, kSheetColumnCount> SheetCells(const RecordRow& row, std::size_t index,
                                                      const std::string& deadline)
{
    constexpr int kDeadlineCell = kSheetColumnCount - 1;
    std::array<std::string, kSheetColumnCount> cells;
    cells[0] = std::to_string(index + 1);
    for (int j = 1; j < kDeadlineCell; ++j) cells[static_cast<std::size_t>(j)] = std::string(row.item(j - 1));
    cells[kDeadlineCell] = deadline;
    return cells;
}

}  // namespace quorva

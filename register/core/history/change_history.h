#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "register/core/storage/change_journal.h"
#include "register/core/text/civil_date.h"

class TSQLiteTable;

// The history of the register: every change of the records, who made it and
// when. Rows are only ever appended.
namespace quorva {

class Store;

// The action as the history names it: 新增, 修改, 删除, 清空, 恢复, 还原,
// 彻底删除, 清空回收站.
const char* ActionName(ChangeAction action);
inline constexpr ChangeAction kAllActions[] = {
    ChangeAction::Insert,  ChangeAction::Edit,     ChangeAction::Delete, ChangeAction::Clear,
    ChangeAction::Restore, ChangeAction::Undelete, ChangeAction::Purge,  ChangeAction::EmptyBin,
};

// Appends the changes' rows: one each, or one per changed column of an edit
// (an edit that changed nothing leaves none).
void AppendHistory(StoreConnection& connection, const std::vector<RecordChange>& changes, const ChangeAuthor& author);

// The days of the log to show, both included, and one action or all.
struct HistoryFilter {
    CivilDate from;
    CivilDate to;
    std::optional<ChangeAction> action;
};

// Results of both reads have the columns czsj, czr, jsj, czlx, jlid, swzh,
// zdm, jz, xz, sm in that order, oldest row first; none when the store has
// no history yet.
std::unique_ptr<TSQLiteTable> ReadHistoryLog(StoreConnection& connection, const HistoryFilter& filter);
// The record's rows from its latest 新增 on: an ID given again to a later
// record starts a history of its own, while a delete and its 还原 continue
// the record's.
std::unique_ptr<TSQLiteTable> ReadRecordHistory(StoreConnection& connection, std::int64_t id);

// "yyyy-mm-dd", the date part of a history time.
std::string HistoryDate(const CivilDate& date);

}  // namespace quorva

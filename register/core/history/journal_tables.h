#pragma once

#include <string>

// The register's tables beside Quorva, in the same database: the history of
// every change and the recycle bin. Each is created when missing, so a
// database from before them, or one restored from an older backup, gains
// them at its next change.
namespace quorva {

class StoreConnection;

// One row per change, or per changed column of an edit; never updated or
// deleted. Columns: ID (the row's own), czsj 操作时间 ("yyyy-mm-dd
// hh:nn:ss"), czr 操作人, jsj 计算机, czlx 操作, jlid the record's ID, swzh
// 收文号, zdm the changed column's name, jz 原值, xz 新值, sm 说明.
inline constexpr const char* kHistoryTable = "QuorvaHistory";

// One row per deleted record: hsid (the entry's own), the record's 27
// columns under their own names, scsj 删除时间, scr 删除人, jsj 计算机 and
// czlx (删除 or 清空).
inline constexpr const char* kBinTable = "QuorvaBin";

void EnsureHistoryTable(StoreConnection& connection);
void EnsureBinTable(StoreConnection& connection);

// The record table's column names in table order, comma separated: what the
// bin keeps of a record. Without ID, a record put back gets a new one.
std::string RecordColumnList(bool withId);

}  // namespace quorva

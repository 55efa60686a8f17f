#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "register/core/records/document_table.h"

// What becomes of every change of the records besides the change itself. Each
// command that changes records calls JournalChange inside the transaction
// of its change, so the change and its traces stand or fall together.
namespace quorva {

class StoreConnection;

// Undelete, Purge and EmptyBin are the recycle bin's 还原, 彻底删除 and
// 清空回收站.
enum class ChangeAction { Insert, Edit, Delete, Clear, Restore, Undelete, Purge, EmptyBin };

struct ChangedValue {
    Column column;
    std::string before;
    std::string after;
};

struct RecordChange {
    ChangeAction action;
    // The record's ID and 收文号; none for a clear or a restore.
    std::int64_t id = 0;
    std::string receiptNumber = {};
    // An edit's changed columns.
    std::vector<ChangedValue> values = {};
    // A restore's backup file; an undelete's clear (its time), when a clear
    // put the record into the bin.
    std::string source = {};
    // An undelete's ID in the bin, when the record had to take another.
    std::int64_t formerId = 0;
    // The record's 录入人, whom the other clerks' registers name; the
    // Windows user where there is none.
    std::string clerk = {};
};

// Who made a change and when, as the history keeps it: the local time as
// "yyyy-mm-dd hh:nn:ss", the Windows user and the machine.
struct ChangeAuthor {
    std::string time;
    std::string user;
    std::string machine;
};

// The line the other registers' status bars show:
// "张三 14:02 新增 收文号 SW-0042".
std::string ChangeSummary(const RecordChange& change, const ChangeAuthor& author);

// Called before a delete, a clear, a purge or emptying the bin (the records
// are still there) and after an insert, an edit, a restore or an undelete.
void JournalChange(StoreConnection& connection, const RecordChange& change, const ChangeAuthor& author);
// The same for many records changed together, in few statements.
void JournalChanges(StoreConnection& connection, const std::vector<RecordChange>& changes, const ChangeAuthor& author);

}  // namespace quorva

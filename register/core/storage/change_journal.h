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

enum class ChangeAction { Insert, Edit, Delete, Clear, Restore };

struct ChangedValue {
    Column column;
    std::string before;
    std::string after;
};

// Who made a change and when, as the other clerks' registers are told.
struct ChangeAuthor {
    // The record's 录入人, or the Windows user where there is none.
    std::string name;
    // hh:mm
    std::string time;
};

struct RecordChange {
    ChangeAction action;
    // The record's ID and 收文号; none for a clear or a restore.
    std::int64_t id = 0;
    std::string receiptNumber = {};
    // An edit's changed columns.
    std::vector<ChangedValue> values = {};
    // A restore's backup file.
    std::string source = {};
    ChangeAuthor author = {};
};

// The line the other registers' status bars show:
// "张三 14:02 新增 收文号 SW-0042".
std::string ChangeSummary(const RecordChange& change);

// Called before a delete or a clear (the records are still there) and after
// an insert, an edit or a restore.
void JournalChange(StoreConnection& connection, const RecordChange& change);

}  // namespace quorva

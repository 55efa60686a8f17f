#pragma once

#include <string>
#include <vector>

#include "register/core/records/document_statements.h"
#include "register/core/records/record_row.h"
#include "register/core/storage/change_journal.h"

// An edit is saved only over the record the clerk saw. When another clerk
// changed or deleted it meanwhile, the clerk is told what changed and
// chooses.
namespace quorva {

class StoreConnection;

struct EditConflict {
    bool deleted = false;
    // Columns stored differently from what the dialog showed: `before` as
    // shown, `after` as stored now.
    std::vector<ChangedValue> theirs;

    bool any() const { return deleted || !theirs.empty(); }
};

inline constexpr const char* kConflictCaption = "记录已被其他人修改";
inline constexpr const char* kDeletedMeanwhile = "这条记录已被其他人删除，您的修改没有保存。";

// Inside the edit's transaction, with the record locked against further
// changes until it ends.
EditConflict FindEditConflict(StoreConnection& connection, const RecordRow& shown);

// The question: each changed field with what the clerk saw, what is stored
// now and what the clerk wants; Yes keeps the clerk's values.
std::string ConflictQuestion(const EditConflict& conflict, const RecordFields& mine);

// The stored record as a list row, for taking the other clerk's values.
RecordRow StoredRow(StoreConnection& connection, std::int64_t id, const RecordRow& shown);

}  // namespace quorva

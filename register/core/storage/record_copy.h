#pragma once

#include <cstdint>
#include <string>

#include "register/core/storage/change_journal.h"
#include "register/core/storage/store.h"

// Moving whole registers between stores: a file register onto the server,
// the server into a backup file, a backup file onto the server. Every value
// arrives as it was stored, NULL included, and every record keeps its ID.
namespace quorva {

// Appends every record of `from` to the record table of `to`, in ID order.
// Gives the number of records copied.
std::int64_t CopyRecords(StoreConnection& from, StoreConnection& to);

std::int64_t CountRecords(StoreConnection& connection);

// Replaces the records of `to` by those of the backup `from`, in one
// transaction that also enters the restore in the history. The register's
// other tables (the history, the recycle bin) stay as they are.
void RestoreRecords(StoreConnection& from, StoreConnection& to, const std::string& backupPath,
                    const ChangeAuthor& author);

}  // namespace quorva

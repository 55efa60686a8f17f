#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "register/core/storage/change_journal.h"

class TSQLiteTable;

// The recycle bin: deleted and cleared records wait there, whole, until a
// clerk puts them back or removes them for good. Each call that changes the
// bin runs in a transaction of its own, with its history rows.
namespace quorva {

// Copies the records a delete (change.id) or a clear (all) is about to
// remove into the bin, with the time and the clerk.
void MoveToBin(StoreConnection& connection, const RecordChange& change, const ChangeAuthor& author);

// The bin for its window, oldest entry first: scsj, scr, jsj, czlx, ID, swrq,
// swzh, lwdw, wh, wjbt, and the entry's hsid last.
std::unique_ptr<TSQLiteTable> ReadBin(StoreConnection& connection);

// A record put back: under its old ID where that was free, else a new one.
struct Undeleted {
    std::int64_t formerId;
    std::int64_t id;
};
// Entries no longer in the bin (taken back by another register) are passed
// over.
std::vector<Undeleted> Undelete(StoreConnection& connection, const std::vector<std::int64_t>& entries,
                                const ChangeAuthor& author);
void Purge(StoreConnection& connection, const std::vector<std::int64_t>& entries, const ChangeAuthor& author);
void EmptyBin(StoreConnection& connection, const ChangeAuthor& author);

}  // namespace quorva

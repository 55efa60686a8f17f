#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "register/core/text/civil_date.h"

// The deadlines clerks set for records themselves, in a table of their own
// beside Quorva (whose columns stay as they are), keyed by the record's ID.
// Created when missing, so a database or backup from before deadlines works
// as it is.
namespace quorva {

class StoreConnection;

inline constexpr const char* kDeadlineTable = "QuorvaBlsx";

using OwnDeadlines = std::unordered_map<std::int64_t, CivilDate>;

void EnsureDeadlineTable(StoreConnection& store);

// Every record's own deadline; a stored text that is not a date is none.
OwnDeadlines ReadOwnDeadlines(StoreConnection& store);

// Sets record `id`'s own deadline, or with nothing removes it. Run in the
// transaction that writes or deletes the record, so they stand together.
void SaveOwnDeadline(StoreConnection& store, std::int64_t id, const std::optional<CivilDate>& deadline);

void ClearOwnDeadlines(StoreConnection& store);

// Makes `to`'s own deadlines those of `from` (none when `from` has no
// table): backups, restores and uploads carry them with the records.
void CopyOwnDeadlines(StoreConnection& from, StoreConnection& to);

}  // namespace quorva

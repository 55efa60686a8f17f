#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Before a restore replaces the register's database, the database is kept
// beside it under the time of the restore, "<db>.before-restore-yyyymmdd-
// hhmmss", so that the restore of a wrong backup can be undone. The newest
// three are kept.
namespace quorva {

inline constexpr const char* kSafetyCopyInfix = ".before-restore-";
inline constexpr std::size_t kSafetyCopiesKept = 3;

// "yyyymmdd-hhmmss" from the digits of a local time such as
// "2026-12-08 10:00:00"; missing digits are zeros.
std::string SafetyCopyStamp(const std::string& localTime);

// A name for a copy made at `stamp` that no copy has yet: a second restore
// within the same second gets "-2", and so on.
std::string NewSafetyCopyPath(const std::string& databasePath, const std::string& stamp);

// The copies beside the database, oldest first.
std::vector<std::string> SafetyCopiesOf(const std::string& databasePath);

// Removes the oldest copies, keeping kSafetyCopiesKept.
void RemoveOldSafetyCopies(const std::string& databasePath);

}  // namespace quorva

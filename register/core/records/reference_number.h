#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "register/store/sql_statement.h"


// The reference number (来文号) is typed by hand, scanned, and pasted from
// other programs, so one document's number arrives in many spellings:
// brackets of any shape and width, full-width digits and letters, stray
// spaces around it. Comparisons go through one normal form; what is stored
// stays as the register's bracket rule leaves it.
namespace quorva {

class StoreConnection;

// Brackets of every shape and width as 〔 〕, surrounding spaces trimmed,
// full-width digits and letters as ASCII.
std::string ReferenceKey(std::string_view reference);

// The IDs of the records whose reference number has the normal form of
// `reference`, ascending; none for an empty one.
std::vector<std::int64_t> FindReference(StoreConnection& store, std::string_view reference);

// Every column of the records with these IDs, in ID order.
SqlStatement RecordsByIdStatement(const std::vector<std::int64_t>& ids);

}  // namespace quorva

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "register/core/records/document_table.h"
#include "register/store/sql_statement.h"

// Statements on the table. Every value comes bound, so what the clerk typed is
// stored and matched as that very text; column names come only from Column.
namespace quorva {

class StoreDialect;

// Field values by Column (table order), UTF-8 and already prepared for
// storing (dates as yyyymmdd, brackets converted, classification joined).
using RecordFields = std::array<std::string, kColumnCount>;

SqlStatement InsertRecordStatement(const RecordFields& fields);
SqlStatement UpdateRecordStatement(const RecordFields& fields, std::int64_t id);
SqlStatement DeleteRecordStatement(std::int64_t id);

// The duplicate look-ups of the entry dialog (wh, swzh, bwh).
SqlStatement DuplicateStatement(Column column, const std::string& value);

// A display filter on one flag column.
enum class FlagFilter { Any, OnlyNo, OnlyYes };
SqlStatement ListStatement(const StoreDialect& dialect, FlagFilter approval, FlagFilter finished);

enum class SearchMode { Exact = 0, Fuzzy = 1 };
struct SearchTerm {
    Column column;
    SearchMode mode;
    std::string value;
};
// Conditions joined by " and " in the order given; no terms, no statement:
// the caller stops before asking.
SqlStatement SearchStatement(const StoreDialect& dialect, const std::vector<SearchTerm>& terms);

}  // namespace quorva

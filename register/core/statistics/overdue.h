#pragma once

#include <optional>

#include "register/core/text/civil_date.h"
#include "register/store/sql_statement.h"

// When a record counts as overdue: not finished and past its handling
// deadline. This is the one place the statistics learn it from.
namespace quorva {

class StoreDialect;

// The condition, on a row of the record table, that the record's handling
// deadline lies before `today`; it is asked only of unfinished records.
// None while the register keeps no deadlines: then no record is overdue and
// the statistics leave 超期未办结 out.
std::optional<SqlStatement> OverdueCondition(const StoreDialect& dialect, const CivilDate& today);

}  // namespace quorva

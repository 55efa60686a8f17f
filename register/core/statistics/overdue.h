#pragma once

#include <optional>

#include "register/core/deadlines/deadline_rule.h"
#include "register/core/text/civil_date.h"
#include "register/store/sql_statement.h"

// When a record counts as overdue: not finished and past its handling
// deadline. This is the one place the statistics learn it from.
namespace quorva {

// The condition, on a row of the record table, that the record's handling
// deadline (its own, else the one its urgency gives with `days`) lies
// before `today`; it is asked only of unfinished records. The same rule as
// the list's colours, in the store's own terms, so the server counts on the
// server.
SqlStatement OverdueCondition(const CivilDate& today, const DeadlineDays& days);

}  // namespace quorva

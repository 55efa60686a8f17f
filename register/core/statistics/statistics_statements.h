#pragma once

#include <optional>

#include "register/core/statistics/grouping.h"
#include "register/store/sql_statement.h"

// The statements of the statistics. The store does the counting: one
// GROUP BY per count, whose keys the grouping rules then gather. The texts
// are the same on both back ends; only the order of listed records is the
// dialect's.
namespace quorva {

class StoreDialect;

// What a count is of: the grouping, the period's days and, once the
// register keeps handling deadlines, the condition of an overdue record.
struct CountScope {
    Grouping grouping;
    DateBounds bounds;
    std::optional<SqlStatement> overdue;
};

// Key and count ("k", "n") of each group of records in the period.
SqlStatement CountStatement(const CountScope& scope);

// The records of one group, or of the whole period when `group` is null, as
// the list shows them.
SqlStatement GroupRecordsStatement(const StoreDialect& dialect, const CountScope& scope,
                                   const StatisticsGroup* group);

}  // namespace quorva

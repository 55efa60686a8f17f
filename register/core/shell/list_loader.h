#pragma once

#include <memory>
#include <string>
#include <vector>

#include "register/core/deadlines/list_deadlines.h"
#include "register/core/search/search_form.h"
#include "register/core/text/civil_date.h"
#include "register/core/shell/filter_state.h"
#include "register/core/shell/record_list.h"

class TSQLiteTable;

namespace quorva {

// The rule of the recent-days filter: a record received `days` or fewer days
// before today, or dated later, is shown. Raises when swrq is not a date or
// the days text is not a number.
bool IsWithinRecentDays(const std::string& swrq, const std::string& daysText, const CivilDate& today);

class Store;

// The loader's first half: opens the store, creates the table when it is
// missing and runs the filtered list query. The result keeps no reference to
// the connection.
std::unique_ptr<TSQLiteTable> QueryRecordList(Store& store, const FilterState& filters);

// The second half: the list shows the result's rows that pass the
// recent-days and the overdue filter, numbered from 1, and `deadlines` keeps
// each shown row's deadline from its book. A date that is not valid stops it
// with the rows shown so far in place.
void FillRecordList(std::shared_ptr<const TSQLiteTable> result, const FilterState& filters, const CivilDate& today,
                    RecordList& rows, ListDeadlines& deadlines);
// The list shows the rows of a search's result whose deadline matches
// `deadline`; every row without one.
void FillRecordList(std::shared_ptr<const TSQLiteTable> result, const std::optional<DeadlineTerm>& deadline,
                    RecordList& rows, ListDeadlines& deadlines);

}  // namespace quorva

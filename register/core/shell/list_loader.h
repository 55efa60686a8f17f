#pragma once

#include <memory>
#include <string>
#include <vector>

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
// recent-days filter, numbered from 1. A date that is not valid stops it with
// the rows shown so far in place.
void FillRecordList(std::shared_ptr<const TSQLiteTable> result, const FilterState& filters, const CivilDate& today,
                    RecordList& rows);
// The list shows every row of the result (a search's).
void FillRecordList(std::shared_ptr<const TSQLiteTable> result, RecordList& rows);

}  // namespace quorva

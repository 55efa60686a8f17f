#include "register/core/history/journal_dialogs.h"

#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

constexpr int kDefaultLogDays = 30;

}  // namespace

HistoryFilter HistoryLog::DefaultFilter() const
{
    return {CivilDate::FromDayNumber(today_.DayNumber() - kDefaultLogDays), today_, std::nullopt};
}

JournalRows HistoryLog::Read(const HistoryFilter& filter)
{
    const std::unique_ptr<StoreConnection> connection = store_.Open();
    return JournalRows(HistoryLayout(), ReadHistoryLog(*connection, filter));
}

JournalRows RecordHistoryRows(Store& store, std::int64_t id)
{
    const std::unique_ptr<StoreConnection> connection = store.Open();
    return JournalRows(HistoryLayout(), ReadRecordHistory(*connection, id));
}

}  // namespace quorva

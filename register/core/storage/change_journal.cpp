#include "register/core/storage/change_journal.h"

#include "register/core/history/change_history.h"
#include "register/core/history/recycle_bin.h"
#include "register/core/storage/change_mark.h"
#include "register/core/storage/store.h"

namespace quorva {

namespace {

// "hh:mm" of "yyyy-mm-dd hh:mm:ss".
constexpr std::size_t kTimeOfDayAt = 11;
constexpr std::size_t kTimeOfDayLength = 5;

std::string TimeOfDay(const std::string& time)
{
    return time.size() >= kTimeOfDayAt + kTimeOfDayLength ? time.substr(kTimeOfDayAt, kTimeOfDayLength) : time;
}

}  // namespace

std::string ChangeSummary(const RecordChange& change, const ChangeAuthor& author)
{
    const std::string& name = change.clerk.empty() ? author.user : change.clerk;
    std::string summary = name + " " + TimeOfDay(author.time) + " " + ActionName(change.action);
    if (!change.receiptNumber.empty()) summary += " 收文号 " + change.receiptNumber;
    return summary;
}

void JournalChange(StoreConnection& connection, const RecordChange& change, const ChangeAuthor& author)
{
    JournalChanges(connection, {change}, author);
}

void JournalChanges(StoreConnection& connection, const std::vector<RecordChange>& changes, const ChangeAuthor& author)
{
    for (const RecordChange& change : changes) {
        if (change.action == ChangeAction::Delete || change.action == ChangeAction::Clear) {
            MoveToBin(connection, change, author);
        }
    }
    AppendHistory(connection, changes, author);
    // The other clerks hear of the last change; a reload shows them all.
    if (!changes.empty() && connection.Dialect().SharedByClerks()) {
        AnnounceChange(connection, ChangeSummary(changes.back(), author));
    }
}

}  // namespace quorva

#include "register/core/storage/change_journal.h"

#include "register/core/history/change_history.h"
#include "register/core/history/recycle_bin.h"
#include "register/core/storage/store.h"

namespace quorva {

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
}

}  // namespace quorva

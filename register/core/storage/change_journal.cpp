#include "register/core/storage/change_journal.h"

#include "register/core/storage/change_mark.h"
#include "register/core/storage/store.h"

namespace quorva {

namespace {

const char* ActionName(ChangeAction action)
{
    switch (action) {
    case ChangeAction::Insert: return "新增";
    case ChangeAction::Edit: return "修改";
    case ChangeAction::Delete: return "删除";
    case ChangeAction::Clear: return "清空";
    case ChangeAction::Restore: return "恢复";
    }
    return "";
}

}  // namespace

std::string ChangeSummary(const RecordChange& change)
{
    std::string summary = change.author.name + " " + change.author.time + " " + ActionName(change.action);
    if (!change.receiptNumber.empty()) summary += " 收文号 " + change.receiptNumber;
    return summary;
}

void JournalChange(StoreConnection& connection, const RecordChange& change)
{
    if (connection.Dialect().SharedByClerks()) AnnounceChange(connection, ChangeSummary(change));
}

}  // namespace quorva

#include "register/core/storage/change_journal.h"

#include "register/core/storage/store.h"

namespace quorva {

void JournalChange(StoreConnection&, const RecordChange&) {}

}  // namespace quorva

#include "register/core/storage/store.h"

namespace quorva {

StoreTransaction::StoreTransaction(StoreConnection& connection) : connection_(connection)
{
    connection_.Begin();
}

StoreTransaction::~StoreTransaction()
{
    if (!open_) return;
    try {
        connection_.Rollback();
    } catch (...) {
        // The failure that brought us here is the one to report.
    }
}

void StoreTransaction::Commit()
{
    connection_.Commit();
    open_ = false;
}

}  // namespace quorva

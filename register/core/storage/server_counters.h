#pragma once

#include <string>

#include "register/core/records/document_table.h"
#include "register/core/storage/store.h"

// The last receipt and handling numbers of a register on the server, kept
// there for every clerk's register to share. A registration takes the
// counter's row lock and stores its record in the same transaction, so two
// clerks never get the same number.
namespace quorva {

inline constexpr const char* kCounterTable = "QuorvaCounter";

// Made once per connection to the server.
void EnsureCounters(StoreConnection& connection);

class ServerCounters {
public:
    explicit ServerCounters(StoreConnection& connection);

    // The counter's last number. The first use on a server starts from
    // `fallback`, this machine's own counter, which carries a register's
    // numbering over when it moves to the server.
    std::string Last(const char* key, const std::string& fallback);
    // The same, with the counter's row locked until the transaction ends.
    std::string LockLast(const char* key, const std::string& fallback);
    void Set(const char* key, const std::string& value);

private:
    std::string Read(const char* key, const std::string& fallback, bool lock);

    StoreConnection& connection_;
};

// `candidate`, or when a record already holds it in `column`, the first
// number after it that none holds; "" when none can be made.
std::string FirstFreeNumber(StoreConnection& connection, Column column, const std::string& candidate);

}  // namespace quorva

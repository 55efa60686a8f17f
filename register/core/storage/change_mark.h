#pragma once

#include <cstdint>
#include <string>

// How the registers sharing a server follow each other. ODBC delivers no
// server notifications without polling anyway, so every change advances one
// counter row in its own transaction, and every other register reads that
// row about once a second while it is idle.
namespace quorva {

class StoreConnection;

inline constexpr const char* kChangeTable = "QuorvaChange";

struct ChangeMark {
    std::int64_t serial = 0;
    // Who changed what last, for the status bar.
    std::string summary;

    bool operator==(const ChangeMark& other) const { return serial == other.serial; }
    bool operator!=(const ChangeMark& other) const { return serial != other.serial; }
};

// The counter row, made once per connection to the server.
void EnsureChangeMark(StoreConnection& connection);
// Inside the change's transaction; the row's lock orders the changes.
void AnnounceChange(StoreConnection& connection, const std::string& summary);
// The mark as it stands: one small query.
ChangeMark ReadChangeMark(StoreConnection& connection);

}  // namespace quorva

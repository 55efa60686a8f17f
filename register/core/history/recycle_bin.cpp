#include "register/core/history/recycle_bin.h"

#include <algorithm>
#include <set>
#include <string>

#include "register/core/history/change_history.h"
#include "register/core/history/journal_tables.h"
#include "register/core/records/document_table.h"
#include "register/core/storage/store.h"
#include "register/store/sqlite_table.h"

namespace quorva {

namespace {

// Entries per statement: a bin cleared from a large register is put back
// in few statements, far below either back end's limit on bound values.
constexpr std::size_t kEntriesPerStatement = 500;

const char* const kDeletionColumns = ",scsj,scr,jsj,czlx";

struct BinEntry {
    std::int64_t entry;
    std::int64_t id;
    std::string receiptNumber;
    // When a clear took it: the record's own history has no row for that.
    std::string clearedAt;
};

std::string Placeholders(std::size_t count)
{
    std::string list = "(";
    for (std::size_t i = 0; i < count; ++i) list += i ? ",?" : "?";
    return list + ")";
}

template <typename Value>
SqlStatement InList(const std::string& head, const std::vector<Value>& values)
{
    SqlStatement statement{head + Placeholders(values.size()), {}};
    for (const Value& value : values) statement.values.emplace_back(value);
    return statement;
}

template <typename Work>
void InChunks(const std::vector<std::int64_t>& entries, Work&& work)
{
    for (std::size_t first = 0; first < entries.size(); first += kEntriesPerStatement) {
        const auto last = entries.begin() + static_cast<std::ptrdiff_t>(std::min(entries.size(), first + kEntriesPerStatement));
        work(std::vector<std::int64_t>(entries.begin() + static_cast<std::ptrdiff_t>(first), last));
    }
}

std::vector<BinEntry> EntriesStillThere(StoreConnection& connection, const std::vector<std::int64_t>& entries)
{
    // Oldest first: of two entries with one ID, the first deleted gets it back.
    SqlStatement query = InList(std::string("SELECT hsid,ID,swzh,czlx,scsj FROM ") + kBinTable + " WHERE hsid IN ", entries);
    query.text += " ORDER BY hsid";
    const std::unique_ptr<TSQLiteTable> found = connection.Query(query);
    std::vector<BinEntry> still;
    for (int r = 0; r < found->CountRows(); ++r) {
        std::string texts[3];
        for (int c = 0; c < 3; ++c) found->AppendTextOf(r, c + 2, texts[c]);
        const bool cleared = texts[1] == ActionName(ChangeAction::Clear);
        still.push_back({found->Int64Of(r, 0), found->Int64Of(r, 1), texts[0], cleared ? texts[2] : std::string()});
    }
    return still;
}

std::vector<std::int64_t> EntryIds(const std::vector<BinEntry>& entries)
{
    std::vector<std::int64_t> ids;
    for (const BinEntry& entry : entries) ids.push_back(entry.entry);
    return ids;
}

std::set<std::int64_t> TakenIds(StoreConnection& connection, const std::vector<BinEntry>& entries)
{
    std::vector<std::int64_t> ids;
    for (const BinEntry& entry : entries) ids.push_back(entry.id);
    const std::unique_ptr<TSQLiteTable> taken =
        connection.Query(InList(std::string("SELECT ID FROM ") + kTableName + " WHERE ID IN ", ids));
    std::set<std::int64_t> result;
    for (int r = 0; r < taken->CountRows(); ++r) result.insert(taken->Int64Of(r, 0));
    return result;
}

std::string PutBackHead(bool withId)
{
    const std::string columns = RecordColumnList(withId);
    return std::string("INSERT INTO ") + kTableName + " (" + columns + ") SELECT " + columns + " FROM " + kBinTable +
           " WHERE hsid ";
}

// One chunk: the entries whose ID is free go back under it together; the
// store's generator is moved past them before the others get new IDs.
void UndeleteChunk(StoreConnection& connection, const std::vector<BinEntry>& entries, const ChangeAuthor& author,
                   std::vector<Undeleted>& done)
{
    std::set<std::int64_t> taken = TakenIds(connection, entries);
    std::set<std::int64_t> keeping;
    for (const BinEntry& entry : entries) {
        if (taken.insert(entry.id).second) keeping.insert(entry.entry);
    }
    if (!keeping.empty()) {
        connection.Execute(InList(PutBackHead(true) + "IN ", std::vector<std::int64_t>(keeping.begin(), keeping.end())));
        for (const std::string& statement : connection.Dialect().AfterExplicitIds()) connection.Execute(statement);
    }
    std::vector<RecordChange> changes;
    for (const BinEntry& entry : entries) {
        const bool kept = keeping.count(entry.entry) > 0;
        const std::int64_t id =
            kept ? entry.id : connection.InsertRecord(SqlStatement{PutBackHead(false) + "= ?", {entry.entry}});
        changes.push_back({ChangeAction::Undelete, id, entry.receiptNumber, {}, entry.clearedAt, kept ? 0 : entry.id});
        done.push_back({entry.id, id});
    }
    connection.Execute(InList(std::string("DELETE FROM ") + kBinTable + " WHERE hsid IN ", EntryIds(entries)));
    JournalChanges(connection, changes, author);
}

}  // namespace

void MoveToBin(StoreConnection& connection, const RecordChange& change, const ChangeAuthor& author)
{
    EnsureBinTable(connection);
    const std::string columns = RecordColumnList(true);
    SqlStatement move{std::string("INSERT INTO ") + kBinTable + " (" + columns + kDeletionColumns + ") SELECT " +
                          columns + ",?,?,?,? FROM " + kTableName,
                      {author.time, author.user, author.machine, std::string(ActionName(change.action))}};
    if (change.action == ChangeAction::Delete) {
        move.text += " WHERE ID = ?";
        move.values.emplace_back(change.id);
    }
    connection.Execute(move);
}

std::unique_ptr<TSQLiteTable> ReadBin(StoreConnection& connection)
{
    EnsureBinTable(connection);
    return connection.Query(std::string("SELECT scsj,scr,jsj,czlx,ID,swrq,swzh,lwdw,wh,wjbt,hsid FROM ") + kBinTable +
                            " ORDER BY hsid");
}

std::vector<Undeleted> Undelete(StoreConnection& connection, const std::vector<std::int64_t>& entries,
                                const ChangeAuthor& author)
{
    std::vector<Undeleted> done;
    StoreTransaction transaction(connection);
    EnsureDocumentTable(connection);
    EnsureBinTable(connection);
    InChunks(entries, [&](const std::vector<std::int64_t>& chunk) {
        const std::vector<BinEntry> still = EntriesStillThere(connection, chunk);
        if (!still.empty()) UndeleteChunk(connection, still, author, done);
    });
    transaction.Commit();
    return done;
}

void Purge(StoreConnection& connection, const std::vector<std::int64_t>& entries, const ChangeAuthor& author)
{
    StoreTransaction transaction(connection);
    EnsureBinTable(connection);
    InChunks(entries, [&](const std::vector<std::int64_t>& chunk) {
        const std::vector<BinEntry> still = EntriesStillThere(connection, chunk);
        if (still.empty()) return;
        std::vector<RecordChange> changes;
        for (const BinEntry& entry : still) changes.push_back({ChangeAction::Purge, entry.id, entry.receiptNumber});
        JournalChanges(connection, changes, author);
        connection.Execute(InList(std::string("DELETE FROM ") + kBinTable + " WHERE hsid IN ", EntryIds(still)));
    });
    transaction.Commit();
}

void EmptyBin(StoreConnection& connection, const ChangeAuthor& author)
{
    StoreTransaction transaction(connection);
    EnsureBinTable(connection);
    JournalChange(connection, {ChangeAction::EmptyBin}, author);
    connection.Execute(std::string("DELETE FROM ") + kBinTable);
    transaction.Commit();
}

}  // namespace quorva

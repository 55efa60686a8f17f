#include "register/core/entry/register_numbers.h"

#include <algorithm>

#include "register/core/entry/number_advance.h"
#include "register/core/entry/number_counters.h"
#include "register/core/records/document_table.h"
#include "register/core/storage/server_counters.h"
#include "register/core/storage/store.h"

namespace quorva {

namespace {

const struct {
    EntryField field;
    const char* key;
    Column column;
    const char* name;
} kNumbers[] = {
    {EntryField::eswzh, keys::kReceiptNumber, Column::swzh, "收文号"},
    {EntryField::ebwh, keys::kHandlingNumber, Column::bwh, "办文号"},
};

}  // namespace

std::string TakenNumberNote(const std::string& name, const std::string& taken, const std::string& given)
{
    return name + "“" + taken + "”已被其他登记使用，改为“" + given + "”。";
}

std::string RegisterNumbers::NextOnServer(StoreConnection& connection, Column column, const std::string& last,
                                          const std::string& lastYear)
{
    const std::string next = NextNumber(last, settings_.ReadBool(keys::kYearlyNumbering, false),
                                        ParseNumberYear(lastYear), received_.year);
    return next.empty() ? "" : FirstFreeNumber(connection, column, next);
}

std::string RegisterNumbers::FreeOnFile(Column column, const std::string& candidate)
{
    // A register stopped between storing a record and writing its number
    // into the settings leaves the counter behind the records: the number
    // after the counter is then taken, and so would every later one be.
    if (candidate.empty() || !store_.Exists()) return candidate;
    const std::unique_ptr<StoreConnection> connection = store_.Open();
    if (!connection->HasTable(kTableName)) return candidate;
    const std::string free = FirstFreeNumber(*connection, column, candidate);
    return free.empty() ? candidate : free;
}

std::string RegisterNumbers::Propose(EntryField field)
{
    for (const auto& number : kNumbers) {
        if (number.field != field) continue;
        const std::string local = settings_.ReadText(number.key, "");
        std::string next;
        if (store_.Kind() == StoreKind::Server) {
            const std::unique_ptr<StoreConnection> connection = store_.Open();
            ServerCounters counters(*connection);
            next = NextOnServer(*connection, number.column, counters.Last(number.key, local),
                                counters.Last(keys::kNumberYear, settings_.ReadText(keys::kNumberYear, "")));
        } else {
            next = FreeOnFile(number.column, ProposedNumber(local, settings_, received_));
        }
        return proposed_[field] = next;
    }
    return "";
}

std::string RegisterNumbers::LastProposed(EntryField field) const
{
    const auto found = proposed_.find(field);
    return found == proposed_.end() ? std::string() : found->second;
}

std::string RegisterNumbers::AllocateOnServer(StoreConnection& connection, RecordFields& fields)
{
    ServerCounters counters(connection);
    std::string note;
    // Always in the same order, so two registrations never wait on each other.
    const std::string lastYear = counters.LockLast(keys::kNumberYear, settings_.ReadText(keys::kNumberYear, ""));
    for (const auto& number : kNumbers) {
        std::string& value = fields[static_cast<int>(number.column)];
        const std::string last = counters.LockLast(number.key, settings_.ReadText(number.key, ""));
        if (!value.empty() && value == LastProposed(number.field)) {
            const std::string fresh = NextOnServer(connection, number.column, last, lastYear);
            if (!fresh.empty() && fresh != value) {
                note += TakenNumberNote(number.name, value, fresh);
                value = fresh;
            }
        }
        // An emptied number must not empty everyone's counter.
        if (!value.empty()) counters.Set(number.key, value);
    }
    // The numbering year moves on with the registrations, never back.
    const int year = std::max(ParseNumberYear(lastYear).value_or(received_.year), received_.year);
    counters.Set(keys::kNumberYear, std::to_string(year));
    return note;
}

}  // namespace quorva

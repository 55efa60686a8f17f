#pragma once

#include <map>
#include <string>

#include "register/core/entry/entry_dialog.h"
#include "register/core/records/document_statements.h"
#include "register/core/shell/settings.h"
#include "register/core/text/civil_date.h"

// The receipt and handling numbers a new record gets. On the file they
// follow this machine's settings (SHao, BHao), as they always have; on the
// server they follow counters kept there, shared by every clerk's register.
namespace quorva {

class Store;
class StoreConnection;

// What the clerk is told when another register took a proposed number.
std::string TakenNumberNote(const std::string& name, const std::string& taken, const std::string& given);

class RegisterNumbers final : public NumberProposals {
public:
    // For a registration received on `received`, which decides the year of
    // a yearly numbering.
    RegisterNumbers(Store& store, Settings settings, const CivilDate& received)
        : store_(store), settings_(std::move(settings)), received_(received)
    {
    }

    std::string Propose(EntryField field) override;
    std::string LastProposed(EntryField field) const override;

    // Inside a registration's transaction on the server: a number that is
    // still the proposal becomes the next free one under its counter's lock,
    // and the counters take the numbers stored. Gives a note when a proposal
    // had been taken meanwhile.
    std::string AllocateOnServer(StoreConnection& connection, RecordFields& fields);

private:
    // The first number from `candidate` on that no record of the file holds.
    std::string FreeOnFile(Column column, const std::string& candidate);
    // The next number for a counter whose last number is `last` and whose
    // numbering year is `lastYear`, free of the server's records.
    std::string NextOnServer(StoreConnection& connection, Column column, const std::string& last,
                             const std::string& lastYear);

    Store& store_;
    Settings settings_;
    CivilDate received_;
    std::map<EntryField, std::string> proposed_;
};

}  // namespace quorva

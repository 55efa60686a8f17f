#include "register/core/deadlines/entry_deadline.h"

namespace quorva {

std::optional<CivilDate> OwnDeadline(const EntryDialog& dialog)
{
    return ParseCompactDate(dialog.Text(EntryField::eblsx));
}

std::optional<CivilDate> DialogDeadline(const EntryDialog& dialog, const DeadlineDays& days)
{
    return RecordDeadline(OwnDeadline(dialog), dialog.Date(EntryField::eswrq).ToCompact(),
                          dialog.Text(EntryField::ejjcd), days);
}

}  // namespace quorva

#pragma once

#include <optional>

#include "register/core/deadlines/deadline_rule.h"
#include "register/core/entry/entry_dialog.h"

// The deadline of the record an entry dialog holds.
namespace quorva {

// The deadline the clerk set in the dialog, if any.
std::optional<CivilDate> OwnDeadline(const EntryDialog& dialog);

// The one the record will have: the clerk's, else the one the dialog's
// urgency and received date give.
std::optional<CivilDate> DialogDeadline(const EntryDialog& dialog, const DeadlineDays& days);

}  // namespace quorva

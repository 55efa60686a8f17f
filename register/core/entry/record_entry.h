#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "register/core/records/document_statements.h"
#include "register/core/entry/entry_dialog.h"
#include "register/core/records/record_row.h"
#include "register/core/storage/change_journal.h"

// Moving a record between the entry dialog, the statements and the list row.
namespace quorva {

// The 25 written columns from the dialog: dates as yyyymmdd, classification
// and period joined, reference brackets converted, memo lines ending CR LF.
RecordFields PrepareRecordFields(const EntryDialog& dialog);

// A stored classification as its level and period: the first two characters
// (four bytes in code page 936) and what follows up to the eighth byte.
std::pair<std::string, std::string> SplitClassification(const std::string& mmdj);

// The received date as the edit command reads it: "yyyy-mm-dd" when it has
// a "-", otherwise characters 1-4, 5-6 and 7-8.
std::optional<CivilDate> ReadReceivedDate(const std::string& text);

inline constexpr const char* kBadDateMessage = "日期格式不正确！";

// Fills an edit dialog from a list row. A stored date the picker cannot
// show (the received date unreadable, which is told, or the issue date not
// eight digits) leaves the picker without a date, so any stored record opens.
void FillFromRow(const RecordRow& row, EntryDialog& dialog, Prompter& prompter);

// The values an edit stores: as for a new record, except that a date the
// clerk left unset keeps the row's stored text.
RecordFields PrepareEditedFields(const EntryDialog& dialog, const RecordRow& stored);

// After a confirmed edit, the row shows the dialog's values in place.
void WriteBackRow(const EntryDialog& dialog, RecordRow& row);

// The written columns whose value an edit changes, with both values.
std::vector<ChangedValue> ChangedValues(const RecordRow& row, const RecordFields& fields);

}  // namespace quorva

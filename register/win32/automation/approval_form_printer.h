#pragma once

#include <string>

#include "register/core/automation/form_template.h"
#include "register/core/entry/entry_dialog.h"
#include "register/core/shell/prompter.h"

// "打印呈批表": a new document from the template in Word or the WPS word
// processor, its placeholders filled with the dialog's values, left open
// and visible. Where neither can be driven, the register fills the template
// into a new file in `formsFolder` (see FilledFormsFolder) and opens that.
// True when the document was filled; the printing and saving are the clerk's.
// `days` give the deadline of a record without one of its own.
bool PrintApprovalForm(const quorva::EntryDialog& dialog, const std::string& templatePath,
                       const std::string& formsFolder, quorva::Prompter& prompter,
                       const quorva::DeadlineDays& days = {});

#pragma once

#include <string>

#include "register/core/deadlines/deadline_rule.h"
#include "register/core/entry/entry_dialog.h"
#include "register/core/shell/prompter.h"

// "打印呈批表" where no word processor can be driven: the register fills a
// .docx or .rtf template itself into a new file in `formsFolder` and shows it
// to the clerk. False, after saying so, for a template of another kind.
bool FillApprovalFormFile(const quorva::EntryDialog& dialog, const std::string& templatePath,
                          const std::string& formsFolder, quorva::Prompter& prompter,
                          const quorva::DeadlineDays& days = {});

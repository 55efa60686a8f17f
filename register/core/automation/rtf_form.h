#pragma once

#include <string>
#include <vector>

#include "register/core/automation/approval_form.h"

namespace quorva {

// An .rtf template with its placeholders filled. A placeholder may be split
// by groups and formatting words, and its characters written as they are,
// as \'hh bytes of the document's code page or as \uN escapes; its value
// takes the formatting where it began, its non-ASCII text written as \uN?.
std::string FillRtf(const std::string& rtf, const std::vector<PlaceholderFill>& fills);

}  // namespace quorva

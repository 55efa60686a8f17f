#pragma once

#include <string>
#include <vector>

#include "register/core/automation/approval_form.h"

namespace quorva {

// A .docx template with its placeholders filled in the document body, its
// headers and footers, each value in the formatting of the run where its
// placeholder began, however many runs the placeholder was split over.
// Raises when the package is not a word-processing document.
std::string FillDocx(const std::string& package, const std::vector<PlaceholderFill>& fills);

// One XML part of the package: a body, header, footer or notes filled, any
// other part handed back as it is.
std::string FillWordXml(const std::string& xml, const std::vector<PlaceholderFill>& fills);

}  // namespace quorva

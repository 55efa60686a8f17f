#pragma once

#include <string>
#include <vector>

// Approval-form templates as word processors save them, every placeholder
// split in three: over runs of a .docx (one of them bold, a proofing mark
// between), over groups of an .rtf (its first character as \'hh bytes of
// code page 936, the rest as \uN). One paragraph a placeholder.
std::string SplitPlaceholderDocx(const std::vector<std::string>& placeholders);
std::string SplitPlaceholderRtf(const std::vector<std::string>& placeholders);

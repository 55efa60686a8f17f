#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "register/core/automation/approval_form.h"

// Finding the approval form's placeholders in a template's text, for the
// road that fills .docx and .rtf templates without a word processor.
namespace quorva {

struct PlaceholderMatch {
    std::size_t begin = 0;
    std::size_t end = 0;
    // Index into the fills.
    std::size_t fill = 0;
};

// Every placeholder in `text`, left to right, none overlapping. The text is
// searched once, so a value never meets a placeholder: what is typed for one
// is never searched again, even when it reads like a placeholder.
std::vector<PlaceholderMatch> FindPlaceholders(std::string_view text, const std::vector<PlaceholderFill>& fills);

// A value as lines, CR LF, CR or LF ending each, without the other control
// characters, which neither XML nor RTF text may hold.
std::vector<std::string> ValueLines(std::string_view value);

}  // namespace quorva

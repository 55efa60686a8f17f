#pragma once

#include <string>
#include <vector>

// The names list (settings file + ".xm") and the agency-code list (+ ".jg"):
// one entry per line, CR LF after every line, GB18030 on disk. Lines are
// kept exactly, blank ones and duplicates included.
namespace quorva {

std::vector<std::string> ReadPickList(const std::string& path);
void WritePickList(const std::string& path, const std::vector<std::string>& entries);

// A multi-line box's text as entries, and back. A line end after the last
// line adds no entry.
std::vector<std::string> SplitLines(const std::string& text);
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace quorva

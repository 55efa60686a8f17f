#pragma once

#include <string>
#include <vector>

// A table of any width for the export's sheet layout: the title merged over
// its columns, the bold header row, then one row per row, every cell text.
namespace quorva {

struct SheetTable {
    std::string title;
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};

}  // namespace quorva

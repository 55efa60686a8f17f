#pragma once

#include <string>

// Shows the clerk a file the register has just written: opened with its
// default program, or, where no program is registered for its kind (a
// machine without an office suite), selected in an Explorer window. The
// file is kept either way, so neither failing fails the command.
void ShowWrittenFile(const std::string& path);

#pragma once

#include <string>

#include "register/core/document_statements.h"

// A register of 100,000 records that look like a year's real intake, made
// once in the temporary folder and reused by later runs.
namespace bench {

inline constexpr int kRecordCount = 100000;

quorva::RecordFields RealisticRecord(int n);
// The path of the file, filled when it is missing or incomplete.
std::string EnsureBenchFile();

}  // namespace bench

#pragma once

#include <chrono>
#include <string>

#include "register/core/records/document_statements.h"

class ProfileStore;

// Registers of 100,000 records that look like a year's real intake, and of
// 1,000,000 (the first one ten times over), made once in the temporary folder
// and reused by later runs.
namespace bench {

inline constexpr int kRecordCount = 100000;
inline constexpr int kLargeRecordCount = 1000000;

quorva::RecordFields RealisticRecord(int n);
// The path of the file, filled when it is missing or incomplete. The count is
// kRecordCount or a multiple of it.
std::string EnsureBenchFile(int count = kRecordCount);
// Settings that make a register started on `appData` open `path`, as 设置
// would name it: the folder, with its closing separator, and the name.
void NameBenchFile(ProfileStore& settings, const std::string& appData, const std::string& path);
// The size of the file in bytes.
long long FileBytes(const std::string& path);

// Wall-clock seconds that `work` takes.
template <typename Work>
double SecondsOf(Work&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace bench

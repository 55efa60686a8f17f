#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "register/core/entry/pick_list.h"
#include "tests/fuzz/fuzz_property.h"

// Any bytes as a pick-list file: no entry holds a line end, and the entries
// written back and read again are the same entries.
namespace {

std::string FileOfThisProcess(const char* name)
{
    return (std::filesystem::temp_directory_path() / ("quorva-fuzz-" + std::to_string(getpid()) + name)).string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string read = FileOfThisProcess("-read.xm"), written = FileOfThisProcess("-written.xm");
    std::ofstream(read, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = quorva::ReadPickList(read);
    for (const std::string& entry : entries) Require(entry.find('\n') == std::string::npos, "one line per entry");
    quorva::WritePickList(written, entries);
    Require(quorva::ReadPickList(written) == entries, "entries written back read the same");
    return 0;
}

#include "tests/support/temp_folder.h"

#include <atomic>
#include <chrono>
#include <random>

namespace {

std::filesystem::path UniqueName()
{
    static std::atomic<unsigned> counter{0};
    std::random_device seed;
    return "quorva-test-" + std::to_string(seed()) + "-" + std::to_string(counter++);
}

}  // namespace

std::string PathToUtf8(const std::filesystem::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

TempFolder::TempFolder() : path_(std::filesystem::temp_directory_path() / UniqueName())
{
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::File(const std::string& utf8Name) const
{
    return PathToUtf8(path_ / std::filesystem::u8path(utf8Name));
}

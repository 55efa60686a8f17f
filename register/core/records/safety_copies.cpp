#include "register/core/records/safety_copies.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <system_error>
#include <utility>

namespace quorva {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kDateDigits = 8;
constexpr std::size_t kTimeDigits = 6;
constexpr std::size_t kStampLength = kDateDigits + 1 + kTimeDigits;
constexpr char kStampSeparator = '-';
constexpr int kFirstRepeat = 2;
constexpr std::size_t kMostRepeatDigits = 9;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsStamp(const std::string& text)
{
    return text.size() == kStampLength && text[kDateDigits] == kStampSeparator &&
           AllDigits(text.substr(0, kDateDigits)) && AllDigits(text.substr(kDateDigits + 1));
}

// A copy's place in time from what follows the infix: its stamp, then its
// repeat within that second (1 for the first); nothing for another file.
using CopyOrder = std::pair<std::string, long>;
std::optional<CopyOrder> OrderOf(const std::string& rest)
{
    const std::string stamp = rest.substr(0, kStampLength);
    if (!IsStamp(stamp)) return std::nullopt;
    if (rest.size() == kStampLength) return CopyOrder{stamp, 1};
    const std::string repeat = rest.substr(kStampLength + 1);
    if (rest[kStampLength] != kStampSeparator || !AllDigits(repeat) || repeat.size() > kMostRepeatDigits) {
        return std::nullopt;
    }
    return CopyOrder{stamp, std::stol(repeat)};
}

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::u8path(path), ignored);
}

}  // namespace

std::string SafetyCopyStamp(const std::string& localTime)
{
    std::string digits;
    std::copy_if(localTime.begin(), localTime.end(), std::back_inserter(digits), IsDigit);
    digits.resize(kDateDigits + kTimeDigits, '0');
    return digits.substr(0, kDateDigits) + kStampSeparator + digits.substr(kDateDigits);
}

std::string NewSafetyCopyPath(const std::string& databasePath, const std::string& stamp)
{
    const std::string first = databasePath + kSafetyCopyInfix + stamp;
    std::string path = first;
    for (int repeat = kFirstRepeat; Exists(path); ++repeat) path = first + kStampSeparator + std::to_string(repeat);
    return path;
}

std::vector<std::string> SafetyCopiesOf(const std::string& databasePath)
{
    const fs::path database = fs::u8path(databasePath);
    const std::string prefix = database.filename().u8string() + kSafetyCopyInfix;
    std::vector<std::pair<CopyOrder, std::string>> copies;
    std::error_code error;
    for (fs::directory_iterator entry(database.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().u8string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = name.substr(prefix.size());
        if (const auto order = OrderOf(rest)) copies.emplace_back(*order, databasePath + kSafetyCopyInfix + rest);
    }
    std::sort(copies.begin(), copies.end());
    std::vector<std::string> paths;
    for (auto& copy : copies) paths.push_back(std::move(copy.second));
    return paths;
}

void RemoveOldSafetyCopies(const std::string& databasePath)
{
    const std::vector<std::string> copies = SafetyCopiesOf(databasePath);
    if (copies.size() <= kSafetyCopiesKept) return;
    for (std::size_t i = 0; i + kSafetyCopiesKept < copies.size(); ++i) {
        std::error_code ignored;
        fs::remove(fs::u8path(copies[i]), ignored);
    }
}

}  // namespace quorva

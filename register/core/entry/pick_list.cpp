#include "register/core/entry/pick_list.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "register/core/text/text_encoding.h"

namespace quorva {

namespace {

const char* const kLineEnd = "\r\n";

std::filesystem::path FilePath(const std::string& utf8)
{
    return std::filesystem::u8path(utf8);
}

}  // namespace

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        lines.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += kLineEnd;
        text += lines[i];
    }
    return text;
}

std::vector<std::string> ReadPickList(const std::string& path)
{
    std::ifstream file(FilePath(path), std::ios::binary);
    if (!file) throw std::runtime_error("Cannot open file \"" + path + "\"");
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return SplitLines(Gb18030ToUtf8(bytes));
}

void WritePickList(const std::string& path, const std::vector<std::string>& entries)
{
    std::string text;
    for (const std::string& entry : entries) text += entry + kLineEnd;
    const std::string bytes = Utf8ToGb18030(text);
    std::ofstream file(FilePath(path), std::ios::binary | std::ios::trunc);
    if (!file) throw std::runtime_error("Cannot create file \"" + path + "\"");
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) throw std::runtime_error("Cannot write file \"" + path + "\"");
}

}  // namespace quorva

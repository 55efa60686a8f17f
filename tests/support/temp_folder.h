#pragma once

#include <filesystem>
#include <string>

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // UTF-8 path of a file in the folder, as the access layer takes it.
    std::string File(const std::string& utf8Name) const;

private:
    std::filesystem::path path_;
};

std::string PathToUtf8(const std::filesystem::path& path);

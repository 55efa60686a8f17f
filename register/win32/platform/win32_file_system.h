#pragma once

#include "register/core/shell/file_system.h"

class Win32FileSystem final : public FileSystem {
public:
    bool CreateFolders(const std::string& path) override;
    bool FileExists(const std::string& path) const override;
    void CreateEmptyFile(const std::string& path) override;
    bool AppendToFile(const std::string& path, const std::string& bytes) override;
};

// The user's roaming application-data folder, UTF-8.
std::string RoamingAppDataFolder();

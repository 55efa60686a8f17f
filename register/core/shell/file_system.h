#pragma once

#include <string>

// The few file-system calls start-up needs, so tests can play a machine
// without a D: drive. Paths are UTF-8 Windows paths.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Creates the folder and any missing parents; true when it exists after.
    virtual bool CreateFolders(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) const = 0;
    // Creates an empty file; failures are not reported.
    virtual void CreateEmptyFile(const std::string& path) = 0;
    // Adds the bytes at the end of the file, creating it when missing; true
    // when all of them were written.
    virtual bool AppendToFile(const std::string& path, const std::string& bytes) = 0;
};

#pragma once

#include <string>

// Section/key access to an INI file. On Windows this is the platform's own
// profile API, which opens and closes the file for every call; tests use an
// in-memory store. Text is UTF-8 here; the file keeps the ANSI code page.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // The stored text, or `fallback` when the file or the key is missing.
    virtual std::string Read(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& fallback) const = 0;
    // Raises when the file cannot be written.
    virtual void Write(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

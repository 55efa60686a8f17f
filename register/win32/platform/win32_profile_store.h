#pragma once

#include "register/core/shell/profile_store.h"

// The platform's INI API: it opens and closes the file on every call and
// keeps it in the ANSI code page.
class Win32ProfileStore final : public ProfileStore {
public:
    std::string Read(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& fallback) const override;
    void Write(const std::string& file, const std::string& section, const std::string& key,
               const std::string& value) override;
};

#pragma once

#include "register/core/storage/store_settings.h"

// The server password in the settings file, encrypted for the current user
// by the system's data protection, written as hexadecimal text.
class DpapiSecretBox final : public quorva::SecretBox {
public:
    std::string Seal(const std::string& secret) override;
    std::optional<std::string> Unseal(const std::string& sealed) override;
};

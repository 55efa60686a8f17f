#pragma once

#include <memory>
#include <optional>
#include <string>

#include "register/core/shell/settings.h"
#include "register/core/storage/server_store.h"

// Which store the register uses, as the settings file keeps it. The file
// settings (Path, DName) stay as they are while the server is chosen, so
// going back to the file is one click.
namespace quorva {

namespace keys {
inline constexpr const char* kStoreKind = "StoreKind";
inline constexpr const char* kServerDriver = "ServerDriver";
inline constexpr const char* kServerHost = "ServerHost";
inline constexpr const char* kServerPort = "ServerPort";
inline constexpr const char* kServerDatabase = "ServerDatabase";
inline constexpr const char* kServerUser = "ServerUser";
inline constexpr const char* kServerPassword = "ServerPassword";
}  // namespace keys

inline constexpr const char* kDefaultServerDriver = "PostgreSQL Unicode";
inline constexpr const char* kDefaultServerPort = "5432";
inline constexpr const char* kDefaultServerDatabase = "quorva";

// Keeps a secret in the settings file in a form only this user on this
// machine can read back.
class SecretBox {
public:
    virtual ~SecretBox() = default;
    virtual std::string Seal(const std::string& secret) = 0;
    // Nothing when the text was not sealed by this user here.
    virtual std::optional<std::string> Unseal(const std::string& sealed) = 0;
};

struct StoreChoice {
    StoreKind kind = StoreKind::File;
    ServerLocation server;
};

StoreChoice ReadStoreChoice(const Settings& settings, SecretBox& secrets);
void WriteStoreChoice(Settings& settings, const StoreChoice& choice, SecretBox& secrets);

// The store the register works on: the file at `databasePath`, or the
// server, with the register's own files beside `settingsPath`.
std::unique_ptr<Store> MakeStore(const StoreChoice& choice, const std::string& databasePath,
                                 const std::string& settingsPath);

}  // namespace quorva

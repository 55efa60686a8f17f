#include "register/core/storage/store_settings.h"

#include "register/core/records/database_copy.h"
#include "register/core/storage/file_store.h"

namespace quorva {

namespace {

const char* const kFileKind = "0";
const char* const kServerKind = "1";

}  // namespace

StoreChoice ReadStoreChoice(const Settings& settings, SecretBox& secrets)
{
    StoreChoice choice;
    choice.kind = settings.ReadText(keys::kStoreKind, kFileKind) == kServerKind ? StoreKind::Server : StoreKind::File;
    ServerLocation& server = choice.server;
    server.driver = settings.ReadText(keys::kServerDriver, kDefaultServerDriver);
    server.host = settings.ReadText(keys::kServerHost, "");
    server.port = settings.ReadText(keys::kServerPort, kDefaultServerPort);
    server.database = settings.ReadText(keys::kServerDatabase, kDefaultServerDatabase);
    server.user = settings.ReadText(keys::kServerUser, "");
    // A password sealed by another user or machine reads as none: the
    // server then refuses the login with its own clear reason.
    const std::string sealed = settings.ReadText(keys::kServerPassword, "");
    if (!sealed.empty()) server.password = secrets.Unseal(sealed).value_or("");
    return choice;
}

void WriteStoreChoice(Settings& settings, const StoreChoice& choice, SecretBox& secrets)
{
    const ServerLocation& server = choice.server;
    settings.WriteText(keys::kStoreKind, choice.kind == StoreKind::Server ? kServerKind : kFileKind);
    settings.WriteText(keys::kServerDriver, server.driver);
    settings.WriteText(keys::kServerHost, server.host);
    settings.WriteText(keys::kServerPort, server.port);
    settings.WriteText(keys::kServerDatabase, server.database);
    settings.WriteText(keys::kServerUser, server.user);
    settings.WriteText(keys::kServerPassword, server.password.empty() ? "" : secrets.Seal(server.password));
}

std::unique_ptr<Store> MakeStore(const StoreChoice& choice, const std::string& databasePath,
                                 const std::string& settingsPath)
{
    if (choice.kind == StoreKind::Server) return std::make_unique<ServerStore>(choice.server, FolderPart(settingsPath));
    return std::make_unique<FileStore>(databasePath);
}

}  // namespace quorva

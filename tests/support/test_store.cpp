#include "tests/support/test_store.h"

#include <cstdlib>
#include <stdexcept>

#include "register/core/shell/settings.h"
#include "register/odbc/odbc_connection.h"

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || !*value) {
        throw std::runtime_error(std::string(name) + " is not set: run the server tests from scripts/test.sh");
    }
    return value;
}

void EmptyTestServer(const quorva::ServerLocation& server)
{
    OdbcConnection connection(quorva::ConnectionString(server), 10);
    connection.Execute({"DROP SCHEMA IF EXISTS public CASCADE", {}});
    connection.Execute({"CREATE SCHEMA public", {}});
}

}  // namespace

bool TestsOnServer()
{
    const char* store = std::getenv("QUORVA_TEST_STORE");
    return store && std::string(store) == "server";
}

std::optional<std::string> MarkingSecretBox::Unseal(const std::string& sealed)
{
    const std::string mark = "sealed:";
    if (sealed.compare(0, mark.size(), mark) != 0) return std::nullopt;
    return sealed.substr(mark.size());
}

quorva::ServerLocation TestServerLocation()
{
    return {quorva::kDefaultServerDriver, Environment("QUORVA_PG_HOST"),     Environment("QUORVA_PG_PORT"),
            Environment("QUORVA_PG_DATABASE"), Environment("QUORVA_PG_USER"), Environment("QUORVA_PG_PASSWORD")};
}

quorva::ServerLocation EmptiedTestServer()
{
    const quorva::ServerLocation server = TestServerLocation();
    EmptyTestServer(server);
    return server;
}

quorva::StoreChoice ChooseTestStore(ProfileStore& profiles, const std::string& settingsPath,
                                    quorva::SecretBox& secrets)
{
    quorva::StoreChoice choice;
    if (!TestsOnServer()) return choice;
    choice.kind = quorva::StoreKind::Server;
    choice.server = EmptiedTestServer();
    quorva::Settings settings(profiles, settingsPath);
    quorva::WriteStoreChoice(settings, choice, secrets);
    return choice;
}

std::unique_ptr<quorva::Store> OpenTestStore(const quorva::StoreChoice& choice, const std::string& databasePath,
                                             const std::string& settingsPath)
{
    return quorva::MakeStore(choice, databasePath, settingsPath);
}

#pragma once

#include <memory>
#include <optional>
#include <string>

#include "register/core/shell/profile_store.h"
#include "register/core/storage/store_settings.h"

// The register's tests run on the file store, or, when QUORVA_TEST_STORE is
// "server", on the PostgreSQL server that scripts/test.sh starts and names
// in QUORVA_PG_*. The same tests, so both stores answer to one set.
bool TestsOnServer();

// Seals by marking, so a test can read what the settings file holds.
class MarkingSecretBox : public quorva::SecretBox {
public:
    std::string Seal(const std::string& secret) override { return "sealed:" + secret; }
    std::optional<std::string> Unseal(const std::string& sealed) override;
};

quorva::ServerLocation TestServerLocation();
// The test server with its database emptied: no tables at all.
quorva::ServerLocation EmptiedTestServer();

// The store under test, chosen in the settings file the way a clerk would:
// nothing changes for the file; for the server its fields go into the file
// and its database is emptied, so every test starts from no tables.
quorva::StoreChoice ChooseTestStore(ProfileStore& profiles, const std::string& settingsPath,
                                    quorva::SecretBox& secrets);

// The same store for the test's own reads and writes.
std::unique_ptr<quorva::Store> OpenTestStore(const quorva::StoreChoice& choice, const std::string& databasePath,
                                             const std::string& settingsPath);

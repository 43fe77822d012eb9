#pragma once

#include "github/ServerAddress.h"
#include "storage/Environment.h"
#include "storage/MemorySecretStore.h"
#include "storage/PreferenceStore.h"

#include <QTemporaryDir>

#include <optional>

class AccountDirectory;

// Where a device-flow sign-in on a server keeps its token before anyone knows whose it
// is: a throwaway preference file and secrets in memory, no store of any account. Its
// environment has the server's endpoints and that server's client id over the first
// account's clock, console, log and transport. `tidewhelk --sign-in --server` and the
// Add Account dialog hand its token to AccountEnrolment.
class SignInStaging
{
public:
    SignInStaging(AccountDirectory& directory, const ServerAddress& server);
    SignInStaging(const SignInStaging&) = delete;
    SignInStaging& operator=(const SignInStaging&) = delete;

    const Environment& environment() const { return m_environment; }
    // The token the sign-in stored, if it got one.
    std::optional<QString> token();

private:
    QTemporaryDir m_directory;
    PreferenceStore m_preferences;
    MemorySecretStore m_secrets;
    Environment m_environment;
};

#include "desktop/SignInStaging.h"

#include "desktop/AccountDirectory.h"
#include "storage/AccountBook.h"
#include "storage/SecureStorage.h"

SignInStaging::SignInStaging(AccountDirectory& directory, const ServerAddress& server)
    : m_preferences(m_directory.filePath(QStringLiteral("staging.ini")))
    , m_environment(directory.environmentOf(directory.book().first()))
{
    m_environment.endpoints = server.endpoints();
    m_environment.oauthClientId = directory.oauthClientIdFor(server.endpoints());
    m_environment.preferences = &m_preferences;
    m_environment.secrets = &m_secrets;
    m_environment.makeTokenProvider = SecureStorage::providerFor(m_environment);
}

std::optional<QString> SignInStaging::token()
{
    return m_secrets.string(QLatin1String(SecureStorage::kTokenKey)).value;
}

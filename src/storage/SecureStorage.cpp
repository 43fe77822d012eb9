#include "storage/SecureStorage.h"

#include "core/Console.h"
#include "core/Scheduler.h"
#include "storage/Environment.h"
#include "storage/PreferenceStore.h"

namespace {

QString lengthOf(const QString& token)
{
    return QStringLiteral("(length: ") + QString::number(token.size()) + u')';
}

QString labelFor(const QString& key)
{
    if (key == QLatin1String(SecureStorage::kTokenKey))
        return QStringLiteral("Tidewhelk GitHub token");
    return QStringLiteral("Tidewhelk ") + key;
}

} // namespace

SecureStorage::SecureStorage(const Environment& environment)
    : m_clock(*environment.scheduler)
    , m_console(*environment.console)
    , m_preferences(*environment.preferences)
    , m_keychain(*environment.secrets)
    , m_tokenKey(QLatin1String(kTokenKey))
{ }

std::function<std::unique_ptr<TokenProvider>()> SecureStorage::providerFor(const Environment& environment)
{
    return [environment] { return std::make_unique<SecureStorage>(environment); };
}

std::optional<QString> SecureStorage::getToken()
{
    if (m_cachedToken && m_tokenLastFetched && m_tokenLastFetched->msecsTo(m_clock.now()) < kCacheTimeoutSeconds * 1000)
        return m_cachedToken;

    const SecretStore::Lookup lookup = m_keychain.string(m_tokenKey);
    if (lookup.status != SecretStore::Status::success) {
        m_console.print(
            QStringLiteral("Error retrieving token from Keychain: ") + keychainStatusMessage(lookup.status));
    } else if (lookup.value) {
        cacheToken(*lookup.value);
        m_console.print(QStringLiteral("Retrieved token from Keychain successfully ") + lengthOf(*lookup.value));
        return lookup.value;
    }

    if (const std::optional<QString> fallback = m_preferences.string(m_tokenKey)) {
        cacheToken(*fallback);
        m_console.print(QStringLiteral("Retrieved token from UserDefaults fallback ") + lengthOf(*fallback));
        return fallback;
    }
    clearCache();
    m_console.print(QStringLiteral("No token found in Keychain or UserDefaults"));
    return std::nullopt;
}

bool SecureStorage::hasToken()
{
    const SecretStore::Lookup lookup = m_keychain.string(m_tokenKey);
    return (lookup.status == SecretStore::Status::success && lookup.value) || m_preferences.string(m_tokenKey);
}

void SecureStorage::saveToken(const QString& token)
{
    const SecretStore::Status status = m_keychain.set(token, m_tokenKey, labelFor(m_tokenKey));
    cacheToken(token);
    if (status == SecretStore::Status::success) {
        m_console.print(QStringLiteral("Token saved securely in Keychain."));
        return;
    }
    m_console.print(QStringLiteral("Error saving token to Keychain: ") + keychainStatusMessage(status));
    m_preferences.setString(m_tokenKey, token);
    m_console.print(QStringLiteral("Token saved to UserDefaults as fallback."));
}

void SecureStorage::deleteToken()
{
    const SecretStore::Status status = m_keychain.remove(m_tokenKey);
    if (status == SecretStore::Status::success)
        m_console.print(QStringLiteral("Token removed from Keychain."));
    else
        m_console.print(QStringLiteral("Error removing token from Keychain: ") + keychainStatusMessage(status));
    m_preferences.remove(m_tokenKey);
    clearCache();
    m_console.print(QStringLiteral("Token removed from UserDefaults fallback."));
}

void SecureStorage::setValue(const QString& value, const QString& key)
{
    const SecretStore::Status status = m_keychain.set(value, key, labelFor(key));
    if (status == SecretStore::Status::success) {
        m_console.print(QStringLiteral("Value stored securely in Keychain for key: ") + key);
        return;
    }
    m_console.print(QStringLiteral("Error storing value to Keychain for key ") + key + QStringLiteral(": ")
        + keychainStatusMessage(status));
    m_preferences.setString(key, value);
    m_console.print(QStringLiteral("Value stored to UserDefaults as fallback for key: ") + key);
}

std::optional<QString> SecureStorage::getValue(const QString& key)
{
    const SecretStore::Lookup lookup = m_keychain.string(key);
    if (lookup.status == SecretStore::Status::success && lookup.value)
        return lookup.value;
    if (lookup.status != SecretStore::Status::success) {
        m_console.print(QStringLiteral("Error retrieving value from Keychain for key ") + key + QStringLiteral(": ")
            + keychainStatusMessage(lookup.status));
    }
    return m_preferences.string(key);
}

void SecureStorage::cacheToken(const QString& token)
{
    m_cachedToken = token;
    m_tokenLastFetched = m_clock.now();
}

void SecureStorage::clearCache()
{
    m_cachedToken.reset();
    m_tokenLastFetched.reset();
}

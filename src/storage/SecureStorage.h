#pragma once

#include "github/TokenProvider.h"
#include "storage/SecretStore.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Clock;
class Console;
class PreferenceStore;
struct Environment;

// Keeps the GitHub access token, and any other short secret under a key of its own,
// in the Keychain (the environment's SecretStore), falling back to the preference store
// (same key, plain text) whenever the Keychain refuses. Token reads are cached for 300 seconds because
// every REST request asks for the token again. No operation fails towards its
// caller: failures are printed and answered by the fallback. Every REST client and
// the sign-in flow own an instance; instances share only the two stores.
class SecureStorage final : public TokenProvider
{
public:
    static constexpr auto kServiceName = "com.marrowfen.tidewhelk";
    static constexpr auto kTokenKey = "github_token";
    static constexpr qint64 kCacheTimeoutSeconds = 300;

    // Uses the environment's secret store, scheduler (as the clock), console and
    // preferences. Touches neither store.
    explicit SecureStorage(const Environment& environment);

    // What each REST client of `environment` reads its token with: a SecureStorage of
    // its own, built from the environment's stores as they are now.
    static std::function<std::unique_ptr<TokenProvider>()> providerFor(const Environment& environment);

    // TokenProvider: getToken(), and dropping the cached read.
    std::optional<QString> token() override { return getToken(); }
    void forgetCachedToken() override { clearCache(); }

    std::optional<QString> getToken();
    // Whether getToken() would find a token, found as it finds it but without its
    // console lines and without the cache.
    bool hasToken();
    void saveToken(const QString& token);
    void deleteToken();

    // `value` under `key`, without cache.
    void setValue(const QString& value, const QString& key);
    std::optional<QString> getValue(const QString& key);

private:
    void cacheToken(const QString& token);
    void clearCache();

    const Clock& m_clock;
    Console& m_console;
    PreferenceStore& m_preferences;
    SecretStore& m_keychain;
    const QString m_tokenKey;
    std::optional<QString> m_cachedToken;
    std::optional<QDateTime> m_tokenLastFetched;
};

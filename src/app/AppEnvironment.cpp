#include "AppEnvironment.h"

#include "core/DebugLogger.h"
#include "core/WakeWatcher.h"
#include "signin/OAuthClientId.h"
#include "storage/Keychain.h"
#include "storage/MemorySecretStore.h"
#include "storage/SecureStorage.h"

#include <QDir>

AppEnvironment::AppEnvironment()
    : AppEnvironment(Setup())
{ }

AppEnvironment::AppEnvironment(const Setup& setup)
    : m_setup(setup)
    , m_preferences(setup.preferencesFile)
    , m_http(m_scheduler, DebugLogger::shared(), setup.httpCacheDirectory)
    , m_wake(std::make_unique<WakeWatcher>(DebugLogger::shared()))
{
    if (setup.inMemorySecrets)
        m_secrets = std::make_unique<MemorySecretStore>();
    else
        m_secrets = std::make_unique<Keychain>(QLatin1String(SecureStorage::kServiceName), m_console);
    m_environment.scheduler = &m_scheduler;
    m_environment.console = &m_firstConsole;
    m_environment.logger = &DebugLogger::shared();
    m_environment.preferences = &m_preferences;
    m_environment.http = &m_http;
    m_environment.secrets = m_secrets.get();
    m_environment.endpoints = setup.endpoints.value_or(GitHubEndpoints::fromProcessEnvironment());
    m_environment.oauthClientId = setup.oauthClientId.value_or(resolveOAuthClientId());
    m_environment.makeTokenProvider = SecureStorage::providerFor(m_environment);
    m_environment.wake = m_wake.get();
    m_accounts = std::make_unique<AccountBook>(m_preferences, m_environment.endpoints, m_console,
        [this](const Account& account) { return secretsOf(account); });
    m_environment.accounts = m_accounts.get();
    nameConsoles();
}

std::unique_ptr<SecretStore> AppEnvironment::secretsOf(const Account& account)
{
    if (m_setup.inMemorySecrets)
        return std::make_unique<MemorySecretStore>();
    return std::make_unique<Keychain>(
        QLatin1String(SecureStorage::kServiceName), m_console, Keychain::Owner {account.host(), account.login});
}

const Environment& AppEnvironment::environmentOf(const Account& account)
{
    if (account.isFirst())
        return m_environment;
    std::unique_ptr<FurtherAccount>& further = m_further[account.group];
    if (!further) {
        further = std::make_unique<FurtherAccount>();
        further->preferences = m_accounts->preferencesOf(account);
        further->secrets = secretsOf(account);
        further->http = std::make_unique<HttpTransport>(
            m_scheduler, DebugLogger::shared(), m_setup.httpCacheDirectory + u'/' + account.group, m_http);
        further->environment = m_environment;
        further->environment.preferences = further->preferences.get();
        further->environment.secrets = further->secrets.get();
        further->environment.http = further->http.get();
        further->environment.endpoints = account.endpoints;
        further->environment.oauthClientId = oauthClientIdFor(account.endpoints);
        further->console = std::make_unique<PrefixedConsole>(m_console);
        further->account = account;
        further->environment.console = further->console.get();
        further->environment.makeTokenProvider = SecureStorage::providerFor(further->environment);
        nameConsoles();
    }
    return further->environment;
}

void AppEnvironment::forget(const Account& account)
{
    if (account.isFirst())
        return;
    environmentOf(account);
    auto entry = m_further.extract(account.group);
    FurtherAccount& further = *entry.mapped();
    // Its feeds may still finish work they had begun; what they write must not land
    // where a later account's keys may go.
    further.preferences->discardWrites();
    m_accounts->remove(account, *further.secrets);
    QDir(m_setup.httpCacheDirectory + u'/' + account.group).removeRecursively();
    m_forgotten.push_back(std::move(entry.mapped()));
    nameConsoles();
}

QString AppEnvironment::oauthClientIdFor(const GitHubEndpoints& server) const
{
    if (m_setup.oauthClientId)
        return *m_setup.oauthClientId;
    return resolveOAuthClientId(
        ServerAddress::hostOf(server), ServerAddress::hostOf(m_environment.endpoints), m_environment.oauthClientId);
}

void AppEnvironment::nameConsoles()
{
    const QList<Account> accounts = m_accounts->accounts();
    const bool several = accounts.size() > 1;
    const auto prefix = [several](const Account& account) {
        return several ? u'[' + account.label() + QStringLiteral("] ") : QString();
    };
    m_firstConsole.setPrefix(prefix(accounts.first()));
    for (const auto& [group, further] : m_further)
        further->console->setPrefix(prefix(further->account));
}

AppEnvironment::~AppEnvironment()
{
    // Work still scheduled may hold controllers alive; let them go while the services
    // they use are still here.
    m_scheduler.clear();
    m_further.clear();
}

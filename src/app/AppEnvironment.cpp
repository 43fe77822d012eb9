#include "AppEnvironment.h"

#include "core/DebugLogger.h"
#include "core/WakeWatcher.h"
#include "signin/OAuthClientId.h"
#include "storage/Keychain.h"
#include "storage/MemorySecretStore.h"
#include "storage/SecureStorage.h"

AppEnvironment::AppEnvironment()
    : AppEnvironment(Setup())
{ }

AppEnvironment::AppEnvironment(const Setup& setup)
    : m_preferences(setup.preferencesFile)
    , m_http(m_scheduler, DebugLogger::shared(), setup.httpCacheDirectory)
    , m_wake(std::make_unique<WakeWatcher>(DebugLogger::shared()))
{
    if (setup.inMemorySecrets)
        m_secrets = std::make_unique<MemorySecretStore>();
    else
        m_secrets = std::make_unique<Keychain>(QLatin1String(SecureStorage::kServiceName), m_console);
    m_environment.scheduler = &m_scheduler;
    m_environment.console = &m_console;
    m_environment.logger = &DebugLogger::shared();
    m_environment.preferences = &m_preferences;
    m_environment.http = &m_http;
    m_environment.secrets = m_secrets.get();
    m_environment.endpoints = setup.endpoints.value_or(GitHubEndpoints::fromProcessEnvironment());
    m_environment.oauthClientId = setup.oauthClientId.value_or(resolveOAuthClientId());
    m_environment.makeTokenProvider = SecureStorage::providerFor(m_environment);
    m_environment.wake = m_wake.get();
}

AppEnvironment::~AppEnvironment()
{
    // Work still scheduled may hold controllers alive; let them go while the services
    // they use are still here.
    m_scheduler.clear();
}

#include "AppEnvironment.h"

#include "signin/OAuthClientId.h"
#include "storage/DebugLogger.h"
#include "storage/SecureStorage.h"

AppEnvironment::AppEnvironment()
    : m_http(m_scheduler, HttpTransport::defaultCacheDirectory())
    , m_keychain(QLatin1String(SecureStorage::kServiceName), m_console)
    , m_environment {.scheduler = &m_scheduler,
          .console = &m_console,
          .logger = &DebugLogger::shared(),
          .preferences = &m_preferences,
          .http = &m_http,
          .secrets = &m_keychain,
          .makeTokenProvider = {},
          .endpoints = GitHubEndpoints::fromProcessEnvironment(),
          .oauthClientId = resolveOAuthClientId()}
{
    m_environment.makeTokenProvider = SecureStorage::providerFor(m_environment);
}

AppEnvironment::~AppEnvironment()
{
    // Work still scheduled may hold controllers alive; let them go while the services
    // they use are still here.
    m_scheduler.clear();
}

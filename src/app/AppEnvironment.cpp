#include "AppEnvironment.h"

#include "signin/OAuthClientId.h"
#include "storage/DebugLogger.h"

AppEnvironment::AppEnvironment()
    : m_http(m_scheduler, HttpTransport::defaultCacheDirectory())
    , m_environment {.scheduler = &m_scheduler,
          .console = &m_console,
          .logger = &DebugLogger::shared(),
          .preferences = &m_preferences,
          .http = &m_http,
          .endpoints = GitHubEndpoints::fromProcessEnvironment(),
          .oauthClientId = resolveOAuthClientId()}
{ }

AppEnvironment::~AppEnvironment()
{
    // Work still scheduled may hold controllers alive; let them go while the services
    // they use are still here.
    m_scheduler.clear();
}

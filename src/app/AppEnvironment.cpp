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

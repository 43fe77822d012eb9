#include "GitHubTestEnvironment.h"

#include "storage/SecureStorage.h"

#include <QDir>

GitHubTestEnvironment::GitHubTestEnvironment(const QString& apiPrefix)
    : m_preferences(QDir(m_home.configHome()).filePath(QStringLiteral("tidewhelk/tidewhelk.ini")))
{
    if (!m_server.listen())
        qFatal("the fake GitHub cannot listen on 127.0.0.1");
    m_server.setApiPrefix(apiPrefix);
    m_http = std::make_unique<HttpTransport>(m_scheduler, HttpTransport::defaultCacheDirectory());
    m_environment.scheduler = &m_scheduler;
    m_environment.console = &m_console;
    m_environment.preferences = &m_preferences;
    m_environment.http = m_http.get();
    m_environment.endpoints = GitHubEndpoints(m_server.apiBaseUrl().toString(), m_server.webBaseUrl().toString());
}

GitHubTestEnvironment::~GitHubTestEnvironment()
{
    // Work still scheduled may hold controllers alive; let them go while the world
    // they use is still here.
    m_scheduler.clear();
    if (m_signedIn)
        signOut();
}

void GitHubTestEnvironment::signIn(const QString& token)
{
    m_server.addToken(token);
    SecureStorage(m_environment).saveToken(token);
    m_signedIn = true;
    m_console.clear();
}

void GitHubTestEnvironment::signOut()
{
    SecureStorage(m_environment).deleteToken();
    m_signedIn = false;
    m_console.clear();
}

#include "GitHubTestEnvironment.h"

#include "storage/SecureStorage.h"

#include <QDir>

using namespace Qt::StringLiterals;

GitHubTestEnvironment::GitHubTestEnvironment(const QString& apiPrefix)
    : m_logger(m_scheduler, m_logEcho)
    , m_preferences(QDir(m_home.configHome()).filePath(u"tidewhelk/tidewhelk.ini"_s))
    , m_keychain(QLatin1String(SecureStorage::kServiceName), m_console)
{
    if (!m_server.listen())
        qFatal("the fake GitHub cannot listen on 127.0.0.1");
    m_server.setApiPrefix(apiPrefix);
    m_http = std::make_unique<HttpTransport>(m_scheduler, m_logger, HttpTransport::defaultCacheDirectory());
    m_environment.scheduler = &m_scheduler;
    m_environment.console = &m_console;
    m_environment.logger = &m_logger;
    m_environment.preferences = &m_preferences;
    m_environment.http = m_http.get();
    m_environment.secrets = &m_keychain;
    m_environment.endpoints = GitHubEndpoints(m_server.apiBaseUrl().toString(), m_server.webBaseUrl().toString());
    m_environment.oauthClientId = u"Iv1.0a1b2c3d4e5f6a7b"_s;
    m_environment.makeTokenProvider = SecureStorage::providerFor(m_environment);
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

QStringList GitHubTestEnvironment::linesBesideTheToken() const
{
    QStringList lines = m_console.lines();
    lines.removeIf([](const QString& line) {
        return line.startsWith(u"Retrieved token from ") || line.startsWith(u"No token found in ");
    });
    return lines;
}

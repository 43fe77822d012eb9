#include "BenchEnvironment.h"

#include "storage/DebugLogger.h"
#include "storage/SecureStorage.h"

#include <QDir>

#include <ctime>

BenchEnvironment::BenchEnvironment(const QString& token)
    : m_preferences(QDir(m_home.configHome()).filePath(QStringLiteral("tidewhelk/tidewhelk.ini")))
{
    m_http
        = std::make_unique<HttpTransport>(m_scheduler, DebugLogger::shared(), HttpTransport::defaultCacheDirectory());
    const QUrl base = m_server.call([&token](FakeGitHub& server) {
        server.setToken(token);
        server.setRateLimit(10'000'000, 10'000'000);
        return server.url();
    });
    m_environment.scheduler = &m_scheduler;
    m_environment.console = &m_console;
    m_environment.preferences = &m_preferences;
    m_environment.http = m_http.get();
    m_environment.secrets = &m_secrets;
    m_environment.endpoints = GitHubEndpoints(base.toString(), base.toString());
    m_environment.makeTokenProvider = SecureStorage::providerFor(m_environment);
    SecureStorage(m_environment).saveToken(token);
}

BenchEnvironment::~BenchEnvironment()
{
    // Work still scheduled may hold controllers alive; let them go while the services
    // they use are still here.
    m_scheduler.clear();
}

double threadCpuMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

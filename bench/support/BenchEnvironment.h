#pragma once

#include "ServerThread.h"
#include "TestHome.h"
#include "core/Console.h"
#include "core/DebugLogger.h"
#include "core/SystemScheduler.h"
#include "http/HttpTransport.h"
#include "storage/Environment.h"
#include "storage/MemorySecretStore.h"
#include "storage/PreferenceStore.h"
#include "storage/SecureStorage.h"

#include <QDir>

// Counts console lines instead of printing them: a benchmark measures the work, not
// the terminal.
class CountingConsole final : public Console
{
public:
    int lines() const { return m_lines; }

protected:
    void write(const QString&) override { ++m_lines; }

private:
    int m_lines = 0;
};

// The application's world for a benchmark: the transport on the given scheduler (the
// real one, or virtual time for long runs), a preference store and HTTP cache in a
// fresh temporary home, the fake GitHub on its own thread as the REST API, and a token
// kept in memory (the benchmark keeps away from any keyring).
template <typename SchedulerType>
class BenchWorld
{
public:
    explicit BenchWorld(const QString& token = QStringLiteral("bench-token"))
        : m_preferences(QDir(m_home.configHome()).filePath(QStringLiteral("tidewhelk/tidewhelk.ini")))
        , m_http(m_scheduler, DebugLogger::shared(), HttpTransport::defaultCacheDirectory())
    {
        const QUrl base = m_server.call([&token](FakeGitHub& server) {
            server.setToken(token);
            server.setRateLimit(100'000'000, 100'000'000);
            return server.url();
        });
        m_environment.scheduler = &m_scheduler;
        m_environment.console = &m_console;
        m_environment.preferences = &m_preferences;
        m_environment.http = &m_http;
        m_environment.secrets = &m_secrets;
        m_environment.endpoints = GitHubEndpoints(base.toString(), base.toString());
        m_environment.makeTokenProvider = SecureStorage::providerFor(m_environment);
        SecureStorage(m_environment).saveToken(token);
    }

    // Work still scheduled may hold controllers alive; let them go while the services
    // they use are still here.
    ~BenchWorld() { m_scheduler.clear(); }
    BenchWorld(const BenchWorld&) = delete;
    BenchWorld& operator=(const BenchWorld&) = delete;

    const Environment& environment() const { return m_environment; }
    SchedulerType& scheduler() { return m_scheduler; }
    ServerThread& server() { return m_server; }
    HttpTransport& http() { return m_http; }
    PreferenceStore& preferences() { return m_preferences; }

private:
    TestHome m_home;
    SchedulerType m_scheduler;
    CountingConsole m_console;
    PreferenceStore m_preferences;
    MemorySecretStore m_secrets;
    ServerThread m_server;
    HttpTransport m_http;
    Environment m_environment;
};

using BenchEnvironment = BenchWorld<SystemScheduler>;

// CPU time of the calling thread, in milliseconds.
double threadCpuMilliseconds();

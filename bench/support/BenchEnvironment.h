#pragma once

#include "ServerThread.h"
#include "TestHome.h"
#include "core/Console.h"
#include "core/Environment.h"
#include "core/SystemScheduler.h"
#include "http/HttpTransport.h"
#include "storage/MemorySecretStore.h"
#include "storage/PreferenceStore.h"

#include <memory>

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

// The application's world for a benchmark: the real scheduler and transport, a
// preference store and HTTP cache in a fresh temporary home, the fake GitHub on its
// own thread as the REST API, and a token kept in memory (the benchmark keeps away
// from any keyring).
class BenchEnvironment
{
public:
    explicit BenchEnvironment(const QString& token = QStringLiteral("bench-token"));
    ~BenchEnvironment();
    BenchEnvironment(const BenchEnvironment&) = delete;
    BenchEnvironment& operator=(const BenchEnvironment&) = delete;

    const Environment& environment() const { return m_environment; }
    ServerThread& server() { return m_server; }
    HttpTransport& http() { return *m_http; }

private:
    TestHome m_home;
    SystemScheduler m_scheduler;
    CountingConsole m_console;
    PreferenceStore m_preferences;
    MemorySecretStore m_secrets;
    ServerThread m_server;
    std::unique_ptr<HttpTransport> m_http;
    Environment m_environment;
};

// CPU time of the calling thread, in milliseconds.
double threadCpuMilliseconds();

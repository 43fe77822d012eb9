#pragma once

#include "FakeGitHub.h"
#include "TestHome.h"

#include <QProcess>

#include <memory>

// The tidewhelk executable run as a user or a script runs it: against a fake GitHub
// on 127.0.0.1 (its REST API and web base), in a private home. The program keeps its
// token in the test session's keyring, which holds none at the start and at the end;
// tests that use this take the ctest resource lock "keyring" and skip outside
// scripts/with-test-session (see SessionToken).
class AppProcess
{
public:
    explicit AppProcess(const QString& program);
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    FakeGitHub& server() { return m_server; }
    QProcess& process() { return *m_process; }

    // Starts the program with `arguments`; `environment` adds to the server's base URLs.
    void start(const QStringList& arguments, const QProcessEnvironment& environment = {});
    // The environment the program runs in: this process's, the server's base URLs, then
    // `environment`.
    QProcessEnvironment environmentWith(const QProcessEnvironment& environment) const;
    // Waits for the program to end, on the event loop so that the server keeps answering.
    bool waitForExit(int timeoutMs = 30000);
    // Runs the program to its end and returns its standard output lines.
    QStringList run(const QStringList& arguments);
    // Everything the program wrote to standard output so far.
    QString output();

private:
    QString m_program;
    TestHome m_home;
    FakeGitHub m_server;
    std::unique_ptr<QProcess> m_process;
    QString m_output;
};

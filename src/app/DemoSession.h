#pragma once

#include "AppEnvironment.h"
#include "GitHubServer.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// `tidewhelk --demo`: the window against the project's fake GitHub serving its demo
// scenario on 127.0.0.1, with a throwaway preference file and HTTP cache and the demo
// token kept in memory, so that nothing of the user's own setup (their token, their
// preferences) is read or written. The demo starts with a few starred and archived items.
class DemoSession
{
public:
    // Serves the demo from `server` (a plain GitHubServer unless a tool wants one it can
    // stage, such as the screenshots' fake with its faults).
    explicit DemoSession(std::unique_ptr<GitHubServer> server = std::make_unique<GitHubServer>());
    ~DemoSession();
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;

    // Starts the server and prepares the demo's stores; false with `error` set when the
    // scenario cannot be served.
    bool start(QString* error);

    const Environment& environment() const { return m_services->environment(); }
    // Its accounts, for the window's account dialogs.
    AppEnvironment& services() { return *m_services; }
    // The throwaway directory of its preference file and HTTP cache.
    QString homePath() const { return m_home.path(); }

private:
    void seedLocalState(const QString& token);

    QTemporaryDir m_home;
    std::unique_ptr<GitHubServer> m_server;
    std::unique_ptr<AppEnvironment> m_services;
};

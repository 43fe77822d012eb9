#pragma once

#include "signin/GitHubOAuthService.h"

#include <QObject>

#include <memory>

class Console;
struct Environment;

// `tidewhelk --sign-in`: the OAuth device flow without a window. Prints the user code
// and the address to enter it at (and opens the address in the browser when a desktop
// session is present), waits for GitHub's verdict, and reports the exit code: 0 once
// the token is stored, 1 when the flow failed, 128 + the signal when cancelled.
class TerminalSignIn : public QObject
{
    Q_OBJECT

public:
    // Progress goes to `console`, failures to `errors`.
    TerminalSignIn(const Environment& environment, Console& console, Console& errors, QObject* parent = nullptr);
    ~TerminalSignIn() override;

    // Starts the flow; everything it reports, `finished` included, comes on later turns
    // of the event loop.
    void start();

    // Abandons the flow because of `signalNumber`: polling stops and nothing is stored.
    void cancel(int signalNumber);

Q_SIGNALS:
    void finished(int exitCode);

private:
    void onStateChanged(GitHubOAuthService::State state);
    void showCode();
    void reportFailure();
    void finish(int exitCode);

    Console& m_console;
    Console& m_errors;
    std::unique_ptr<GitHubOAuthService> m_service;
    bool m_finished = false;
};

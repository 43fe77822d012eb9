#pragma once

#include "desktop/SignInStaging.h"
#include "github/ServerAddress.h"

#include <QObject>

#include <memory>

class AddAccountCommand;
class AppEnvironment;
class Console;
class TerminalSignIn;

// `tidewhelk --sign-in --server HOST`: the device flow of TerminalSignIn on that server,
// its token kept in a SignInStaging until AddAccountCommand learns whose it is and stores
// it as that account's. Exit codes as theirs: 0 once stored, 1 when either failed, 128 +
// the signal when cancelled.
class ServerSignIn : public QObject
{
    Q_OBJECT

public:
    // Progress goes to the console of `services`, failures to `errors`.
    ServerSignIn(AppEnvironment& services, Console& errors, ServerAddress server, QObject* parent = nullptr);
    ~ServerSignIn() override;

    void start();
    void cancel(int signalNumber);

Q_SIGNALS:
    void finished(int exitCode);

private:
    void signedIn(int exitCode);

    AppEnvironment& m_services;
    Console& m_errors;
    ServerAddress m_server;
    SignInStaging m_staging;
    std::unique_ptr<TerminalSignIn> m_signIn;
    std::unique_ptr<AddAccountCommand> m_add;
};

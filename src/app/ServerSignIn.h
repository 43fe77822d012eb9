#pragma once

#include "github/ServerAddress.h"
#include "storage/Environment.h"
#include "storage/MemorySecretStore.h"
#include "storage/PreferenceStore.h"

#include <QObject>
#include <QTemporaryDir>

#include <memory>

class AddAccountCommand;
class AppEnvironment;
class Console;
class TerminalSignIn;

// `tidewhelk --sign-in --server HOST`: the device flow of TerminalSignIn on that server,
// its token kept in memory until AddAccountCommand learns whose it is and stores it as
// that account's. Exit codes as theirs: 0 once stored, 1 when either failed, 128 + the
// signal when cancelled.
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
    // Where the flow keeps the token meanwhile: no store of any account.
    QTemporaryDir m_stagingDirectory;
    PreferenceStore m_stagingPreferences;
    MemorySecretStore m_stagingSecrets;
    Environment m_staging;
    std::unique_ptr<TerminalSignIn> m_signIn;
    std::unique_ptr<AddAccountCommand> m_add;
};

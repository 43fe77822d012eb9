#pragma once

#include "core/Subscription.h"
#include "github/ServerAddress.h"

#include <QObject>
#include <QString>

#include <memory>

class AppEnvironment;
class Console;
class GitHubAPIService;

// `tidewhelk --set-token --server HOST`: asks the server who owns the token (GET /user)
// and keeps the token as that account's, adding the account when it is a new one. On the
// first account's server, a first account with a token but no login yet (a profile of
// the time before accounts) has its own login read first, so that another account's
// token never replaces its token.
// Exit codes: 0 when stored, 1 when the server refused the token, did not answer or
// answered something else; nothing is stored then.
class AddAccountCommand : public QObject
{
    Q_OBJECT

public:
    // The outcome goes to the console of `services`, failures to `errors`.
    AddAccountCommand(
        AppEnvironment& services, Console& errors, ServerAddress server, QString token, QObject* parent = nullptr);
    ~AddAccountCommand() override;

    void start();
    void cancel(int signalNumber);

Q_SIGNALS:
    void finished(int exitCode);

private:
    void learnFirstLogin();
    void lookUpToken();
    void finish(int exitCode);

    AppEnvironment& m_services;
    Console& m_errors;
    ServerAddress m_server;
    QString m_token;
    // The first account's client, and the one of the given token.
    std::unique_ptr<GitHubAPIService> m_firstApi;
    Subscription m_firstLookup;
    std::unique_ptr<GitHubAPIService> m_api;
    Subscription m_lookup;
    bool m_finished = false;
};

#pragma once

#include "core/Subscription.h"
#include "github/ServerAddress.h"
#include "storage/Account.h"

#include <QObject>
#include <QString>

#include <memory>

class AccountDirectory;
class GitHubAPIService;

// Adds the account a token belongs to, for `--set-token --server` and the Add Account
// dialog: asks the server who owns the token (GET /user), then adds that account (or finds
// it listed) and stores the token as its own. On the first account's server, a first
// account with a token but no login yet (a profile of the time before accounts) has its
// own login read first, so that another account's token never replaces its token. When
// the server refuses the token or does not answer, nothing is stored.
class AccountEnrolment : public QObject
{
    Q_OBJECT

public:
    enum class Failure {
        // The server answered 401.
        Refused,
        // No HTTP answer: the server is down or unreachable.
        NoAnswer,
        // Another answer, or one that names no user.
        Other,
    };
    Q_ENUM(Failure)

    AccountEnrolment(AccountDirectory& directory, ServerAddress server, QString token, QObject* parent = nullptr);
    ~AccountEnrolment() override;

    const ServerAddress& server() const { return m_server; }

    // Everything it reports comes on later turns of the event loop.
    void start();
    // Stops asking; nothing is stored and nothing is reported any more.
    void cancel();

Q_SIGNALS:
    // The token is stored as the account's.
    void added(const Account& account);
    // Nothing was stored; `detail` describes the failure, for Other and NoAnswer.
    void failed(AccountEnrolment::Failure failure, const QString& detail);

private:
    void learnFirstLogin();
    void lookUpToken();

    AccountDirectory& m_directory;
    ServerAddress m_server;
    QString m_token;
    // The first account's client, and the one of the given token.
    std::unique_ptr<GitHubAPIService> m_firstApi;
    Subscription m_firstLookup;
    std::unique_ptr<GitHubAPIService> m_api;
    Subscription m_lookup;
};

#pragma once

#include "desktop/AccountSession.h"

#include <QList>
#include <QObject>
#include <QUrl>

class AccountDirectory;

// The live sessions of the user's accounts, first account first: the window shows their
// feeds together. With a directory it opens a session for every account and follows the
// accounts added and removed; without one (tests of one account) it holds the first
// account's session only. While it holds several, each session names its account in its
// status lines.
class AccountSessions : public QObject
{
    Q_OBJECT

public:
    AccountSessions(const Environment& first, FeedController::StartUp startUp, AccountDirectory* directory = nullptr,
        QObject* parent = nullptr);
    ~AccountSessions() override;

    const QList<AccountSession*>& sessions() const { return m_sessions; }
    AccountSession& first() const { return *m_sessions.first(); }
    bool hasSeveral() const { return m_sessions.size() > 1; }
    // The session of `account` (the same group), if one is open.
    AccountSession* sessionOf(const Account& account) const;
    // The session an item's web address is added to: the one whose server serves it
    // (under its web base), the first one when several do; when none does, the first,
    // which then says that it is not a valid address.
    AccountSession& sessionFor(const QString& address) const;

    // Runs every session's start-up; later sessions start as they are added.
    void start();

    // Opens the session of an account the directory has just listed.
    AccountSession& add(const Account& account);
    // Closes a further account's session and has the directory forget the account.
    void remove(AccountSession* session);

Q_SIGNALS:
    // A session was added or removed.
    void sessionsChanged();
    // The session is about to go; the views drop what they show of it.
    void sessionAboutToBeRemoved(AccountSession* session);
    void sessionAdded(AccountSession* session);
    // Either feed of `session` found no usable token.
    void signInNeeded(AccountSession* session);

private:
    AccountSession& open(const Environment& environment, const Account& account);
    // Sessions take their accounts as the directory lists them now (a login may have been
    // read since) and name them while there are several.
    void refreshNames();

    AccountDirectory* m_directory;
    FeedController::StartUp m_startUp;
    QList<AccountSession*> m_sessions;
    bool m_started = false;
};

#include "desktop/AccountSessions.h"

#include "desktop/AccountDirectory.h"

AccountSessions::AccountSessions(
    const Environment& first, FeedController::StartUp startUp, AccountDirectory* directory, QObject* parent)
    : QObject(parent)
    , m_directory(directory)
    , m_startUp(startUp)
{
    if (!m_directory) {
        open(first, Account {QString(), first.endpoints, QString()});
        return;
    }
    for (const Account& account : m_directory->accounts())
        open(m_directory->environmentOf(account), account);
    refreshNames();
}

AccountSessions::~AccountSessions()
{
    qDeleteAll(m_sessions);
}

AccountSession& AccountSessions::open(const Environment& environment, const Account& account)
{
    auto* session = new AccountSession(environment, m_startUp, this, account);
    connect(session, &AccountSession::signInNeeded, this, [this, session] { Q_EMIT signInNeeded(session); });
    m_sessions.append(session);
    return *session;
}

AccountSession* AccountSessions::sessionOf(const Account& account) const
{
    for (AccountSession* session : m_sessions) {
        if (session->account().group == account.group)
            return session;
    }
    return nullptr;
}

AccountSession& AccountSessions::sessionFor(const QString& address) const
{
    const QUrl url(address.trimmed());
    for (AccountSession* session : m_sessions) {
        if (session->environment().endpoints.isUnderWebBase(url))
            return *session;
    }
    return first();
}

void AccountSessions::start()
{
    m_started = true;
    for (AccountSession* session : std::as_const(m_sessions))
        session->start();
}

AccountSession& AccountSessions::add(const Account& account)
{
    AccountSession& session = open(m_directory->environmentOf(account), account);
    refreshNames();
    if (m_started)
        session.start();
    Q_EMIT sessionAdded(&session);
    Q_EMIT sessionsChanged();
    return session;
}

void AccountSessions::remove(AccountSession* session)
{
    if (!m_directory || session == m_sessions.first() || !m_sessions.contains(session))
        return;
    Q_EMIT sessionAboutToBeRemoved(session);
    m_sessions.removeOne(session);
    // The session writes its last cache changes before the account's keys go.
    const Account account = session->account();
    delete session;
    m_directory->forget(account);
    refreshNames();
    Q_EMIT sessionsChanged();
}

void AccountSessions::refreshNames()
{
    const QList<Account> listed = m_directory ? m_directory->accounts() : QList<Account>();
    for (const Account& account : listed) {
        if (AccountSession* session = sessionOf(account))
            session->setAccount(account);
    }
    for (AccountSession* session : std::as_const(m_sessions))
        session->setNamed(hasSeveral());
}

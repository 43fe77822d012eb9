#include "views/AccountTableModel.h"

#include "assignments/AssignmentsViewModel.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"

AccountTableModel::AccountTableModel(
    QList<Column> columns, AccountSessions& sessions, const Clock& clock, QObject* parent)
    : RecordTableModel((columns << Column {tr("Account"), FeedCells::Kind::Text}), clock, parent)
    , m_sessions(sessions)
{ }

void AccountTableModel::followAccounts()
{
    for (AccountSession* session : m_sessions.sessions())
        follow(*session);
    // sessionsChanged lists the added account's rows.
    connect(&m_sessions, &AccountSessions::sessionAdded, this, [this](AccountSession* session) { follow(*session); });
    connect(&m_sessions, &AccountSessions::sessionAboutToBeRemoved, this, [this](AccountSession* session) {
        // Its controllers may outlive it for a moment; what they say then is not shown.
        session->notifications().disconnect(this);
        session->assignments().disconnect(this);
        m_shownSession = m_shownSession == session ? nullptr : m_shownSession.data();
        // Its rows go while it is still there: views ask for their cells as the rows change.
        m_leavingSession = session;
        refresh();
    });
    connect(&m_sessions, &AccountSessions::sessionsChanged, this, [this] {
        refresh();
        columnChanged(accountColumn(), {Qt::DisplayRole, Qt::ToolTipRole, Qt::AccessibleTextRole});
        Q_EMIT accountsChanged();
    });
    refresh();
}

void AccountTableModel::setShownSession(AccountSession* session)
{
    if (m_shownSession == session)
        return;
    m_shownSession = session;
    refresh();
}

QList<AccountSession*> AccountTableModel::shownSessions() const
{
    if (m_shownSession)
        return {m_shownSession.data()};
    QList<AccountSession*> shown = m_sessions.sessions();
    shown.removeOne(m_leavingSession.data());
    return shown;
}

QList<AccountTableModel::AccountRows> AccountTableModel::rowsByAccount(const QList<int>& rows) const
{
    QList<AccountRows> byAccount;
    for (AccountSession* session : m_sessions.sessions()) {
        QList<int> own;
        for (int row : rows) {
            if (sessionAt(row) == session)
                own << row;
        }
        if (!own.isEmpty())
            byAccount.append({session, own});
    }
    return byAccount;
}

AccountTableModel::Batch::Batch(AccountTableModel& model)
    : m_model(model)
{
    ++m_model.m_batches;
}

AccountTableModel::Batch::~Batch()
{
    if (--m_model.m_batches == 0 && std::exchange(m_model.m_updateHeld, false))
        m_model.refresh();
}

void AccountTableModel::update()
{
    if (m_batches > 0)
        m_updateHeld = true;
    else
        refresh();
}

bool AccountTableModel::showsSeveralAccounts() const
{
    return m_sessions.hasSeveral();
}

QString AccountTableModel::rowId(const AccountSession* session, const QString& id) const
{
    const QString& group = session->account().group;
    return group.isEmpty() ? id : group + u':' + id;
}

QVariant AccountTableModel::accountCellData(int row, int role) const
{
    const AccountSession* session = sessionAt(row);
    if (!session)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return session->account().login.isEmpty() ? session->account().host() : session->account().login;
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return session->label();
    default:
        return {};
    }
}

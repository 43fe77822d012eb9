#include "desktop/TrayStatus.h"

#include "assignments/AssignmentRules.h"
#include "assignments/AssignmentsViewModel.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"

#include <algorithm>

namespace {

// English has no catalogue, so its text for one is a message of its own; the plural
// forms serve every other count.
QString notificationCount(qsizetype count)
{
    const int n = static_cast<int>(count);
    return n == 1 ? TrayStatus::tr("1 notification") : TrayStatus::tr("%n notifications", nullptr, n);
}

QString assignmentCount(qsizetype count)
{
    const int n = static_cast<int>(count);
    return n == 1 ? TrayStatus::tr("1 assignment") : TrayStatus::tr("%n assignments", nullptr, n);
}

} // namespace

TrayStatus::TrayStatus(AccountSessions& sessions, QObject* parent)
    : QObject(parent)
    , m_sessions(sessions)
{
    for (AccountSession* session : sessions.sessions())
        follow(session);
    connect(&sessions, &AccountSessions::sessionAdded, this, &TrayStatus::follow);
    connect(&sessions, &AccountSessions::sessionsChanged, this, &TrayStatus::changed);
}

void TrayStatus::follow(AccountSession* session)
{
    NotificationsViewModel& notifications = session->notifications();
    AssignmentsViewModel& assignments = session->assignments();
    for (const FeedController* controller : std::initializer_list<const FeedController*> {&notifications, &assignments})
        connect(controller, &FeedController::needsTokenChanged, this, &TrayStatus::changed);
    connect(&notifications, &NotificationsViewModel::notificationsChanged, this, &TrayStatus::changed);
    connect(&assignments, &AssignmentsViewModel::issuesChanged, this, &TrayStatus::changed);
    connect(&assignments, &AssignmentsViewModel::archivedIssuesChanged, this, &TrayStatus::changed);
}

void TrayStatus::noteArrival()
{
    if (m_windowInSight)
        return;
    m_arrivedOutOfSight = true;
    Q_EMIT changed();
}

TrayStatus::State TrayStatus::state() const
{
    const QList<AccountSession*>& sessions = m_sessions.sessions();
    if (std::all_of(sessions.begin(), sessions.end(),
            [](const AccountSession* session) { return session->notifications().notifications().isEmpty(); }))
        return State::Quiet;
    return m_arrivedOutOfSight ? State::NewArrivals : State::Unread;
}

std::optional<TrayStatus::Counts> TrayStatus::counts(const AccountSession& session)
{
    const NotificationsViewModel& notifications = session.notifications();
    const AssignmentsViewModel& assignments = session.assignments();
    if (notifications.needsToken() || assignments.needsToken())
        return std::nullopt;
    // The Assignments table's rows, whatever its favourites filter shows.
    const qsizetype unarchived = AssignmentRules::unarchivedCount(assignments.issues(), assignments.archivedIssues());
    return Counts {notificationCount(notifications.notifications().size()), assignmentCount(unarchived)};
}

QString TrayStatus::toolTip() const
{
    if (!m_sessions.hasSeveral()) {
        const std::optional<Counts> first = counts(m_sessions.first());
        if (!first)
            return tr("Tidewhelk — not signed in to GitHub");
        return tr("Tidewhelk — %1, %2").arg(first->notifications, first->assignments);
    }
    QStringList lines {QStringLiteral("Tidewhelk")};
    for (const AccountSession* session : m_sessions.sessions()) {
        const std::optional<Counts> own = counts(*session);
        lines << (own ? tr("%1 — %2, %3").arg(session->label(), own->notifications, own->assignments)
                      : tr("%1 — not signed in to GitHub").arg(session->label()));
    }
    return lines.join(u'\n');
}

void TrayStatus::setWindowInSight(bool inSight)
{
    m_windowInSight = inSight;
    if (inSight && std::exchange(m_arrivedOutOfSight, false))
        Q_EMIT changed();
}

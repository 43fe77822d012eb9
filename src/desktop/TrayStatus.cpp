#include "desktop/TrayStatus.h"

#include "assignments/AssignmentRules.h"
#include "assignments/AssignmentsViewModel.h"
#include "desktop/NewThreadWatcher.h"
#include "notifications/NotificationsViewModel.h"

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

TrayStatus::TrayStatus(NotificationsViewModel& notifications, AssignmentsViewModel& assignments,
    NewThreadWatcher& watcher, QObject* parent)
    : QObject(parent)
    , m_notifications(notifications)
    , m_assignments(assignments)
{
    for (const FeedController* controller : std::initializer_list<const FeedController*> {&notifications, &assignments})
        connect(controller, &FeedController::needsTokenChanged, this, &TrayStatus::changed);
    connect(&notifications, &NotificationsViewModel::notificationsChanged, this, &TrayStatus::changed);
    connect(&assignments, &AssignmentsViewModel::issuesChanged, this, &TrayStatus::changed);
    connect(&assignments, &AssignmentsViewModel::archivedIssuesChanged, this, &TrayStatus::changed);
    connect(&watcher, &NewThreadWatcher::arrived, this, [this] {
        if (m_windowInSight)
            return;
        m_arrivedOutOfSight = true;
        Q_EMIT changed();
    });
}

TrayStatus::State TrayStatus::state() const
{
    if (m_notifications.notifications().isEmpty())
        return State::Quiet;
    return m_arrivedOutOfSight ? State::NewArrivals : State::Unread;
}

QString TrayStatus::toolTip() const
{
    if (m_notifications.needsToken() || m_assignments.needsToken())
        return tr("Tidewhelk — not signed in to GitHub");
    // The Assignments table's rows, whatever its favourites filter shows.
    const qsizetype assignments
        = AssignmentRules::unarchivedCount(m_assignments.issues(), m_assignments.archivedIssues());
    return tr("Tidewhelk — %1, %2")
        .arg(notificationCount(m_notifications.notifications().size()), assignmentCount(assignments));
}

void TrayStatus::setWindowInSight(bool inSight)
{
    m_windowInSight = inSight;
    if (inSight && std::exchange(m_arrivedOutOfSight, false))
        Q_EMIT changed();
}

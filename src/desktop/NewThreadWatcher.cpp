#include "desktop/NewThreadWatcher.h"

#include "notifications/NotificationsViewModel.h"

#include <algorithm>

NewThreadWatcher::NewThreadWatcher(NotificationsViewModel& viewModel, QObject* parent)
    : QObject(parent)
    , m_viewModel(viewModel)
{
    connect(&viewModel, &FeedController::syncFinished, this, [this](SyncOutcome outcome) {
        if (outcome == SyncOutcome::Succeeded)
            syncSucceeded();
    });
}

QList<NotificationPtr> NewThreadWatcher::arrivals(const QList<NotificationPtr>& listed, const QSet<QString>& newIds,
    const std::function<bool(const Notification&)>& stoppedWatching)
{
    QList<NotificationPtr> result;
    for (const NotificationPtr& notification : listed) {
        if (newIds.contains(notification->id()) && notification->unread().value_or(true)
            && !stoppedWatching(*notification))
            result.append(notification);
    }
    return result;
}

void NewThreadWatcher::syncSucceeded()
{
    const QList<NotificationPtr>& listed = m_viewModel.notifications();
    const QSet<QString>& newIds = m_viewModel.newNotificationIds();
    // Before the first sync the list held what the cache held: when every listed thread
    // is new, there was nothing.
    const bool firstSync = !std::exchange(m_synced, true);
    if (firstSync && std::all_of(listed.begin(), listed.end(), [&](const NotificationPtr& n) {
            return newIds.contains(n->id());
        }))
        return;
    const QList<NotificationPtr> threads = arrivals(listed, newIds,
        [this](const Notification& notification) { return m_viewModel.isStoppedWatching(notification); });
    if (!threads.isEmpty())
        Q_EMIT arrived(threads);
}

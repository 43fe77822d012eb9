#pragma once

#include "github/Notification.h"

#include <QList>
#include <QObject>
#include <QSet>

#include <functional>

class NotificationsViewModel;

// Tells which threads a sync of the notifications controller brought that the user has
// not had listed before: after each successful sync, the controller's new ids less the
// threads it does not list (they were read here), those GitHub reports read, and those
// whose subject the user stopped watching (the sync marks them read again). The first
// sync that finds the list empty tells nothing: it lists the whole inbox.
class NewThreadWatcher : public QObject
{
    Q_OBJECT

public:
    explicit NewThreadWatcher(NotificationsViewModel& viewModel, QObject* parent = nullptr);

    // The threads of `listed` (in its order) whose ids are in `newIds`, less those GitHub
    // reports read and those `stoppedWatching` names.
    static QList<NotificationPtr> arrivals(const QList<NotificationPtr>& listed, const QSet<QString>& newIds,
        const std::function<bool(const Notification&)>& stoppedWatching);

Q_SIGNALS:
    // Newest first; never empty.
    void arrived(const QList<NotificationPtr>& threads);

private:
    void syncSucceeded();

    NotificationsViewModel& m_viewModel;
    bool m_synced = false;
};

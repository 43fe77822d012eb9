#pragma once

#include "github/Notification.h"

#include <QObject>
#include <QString>

class AssignmentsViewModel;
class NewThreadWatcher;
class NotificationsViewModel;

// What the status-area icon shows, worked out from the two feed controllers: whether
// notification threads are listed (they were unread when fetched), whether new ones
// arrived while the window was out of sight, and a tool tip with the counts.
class TrayStatus : public QObject
{
    Q_OBJECT

public:
    enum class State {
        // No thread is listed.
        Quiet,
        Unread,
        // Threads arrived since the window was last in sight.
        NewArrivals,
    };

    TrayStatus(NotificationsViewModel& notifications, AssignmentsViewModel& assignments, NewThreadWatcher& watcher,
        QObject* parent = nullptr);

    State state() const;
    // "Tidewhelk — 12 notifications, 3 assignments", or that no one is signed in.
    QString toolTip() const;

    // The window came into sight (shown, not minimised) or went out of it; arrivals while
    // it is out of sight mark the icon until it is in sight again.
    void setWindowInSight(bool inSight);

Q_SIGNALS:
    void changed();

private:
    NotificationsViewModel& m_notifications;
    AssignmentsViewModel& m_assignments;
    bool m_windowInSight = false;
    bool m_arrivedOutOfSight = false;
};

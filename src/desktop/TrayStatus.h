#pragma once

#include "github/Notification.h"

#include <QObject>
#include <QString>

#include <optional>

class AccountSession;
class AccountSessions;

// What the status-area icon shows, worked out from every account's two feed controllers:
// whether notification threads are listed (they were unread when fetched), whether new
// ones arrived while the window was out of sight, and a tool tip with the counts (with
// several accounts, a line for each account).
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

    explicit TrayStatus(AccountSessions& sessions, QObject* parent = nullptr);

    State state() const;
    // "Tidewhelk — 12 notifications, 3 assignments", or that no one is signed in.
    QString toolTip() const;

    // New threads arrived (NewThreadWatcher::arrived of any account).
    void noteArrival();

    // The window came into sight (shown, not minimised) or went out of it; arrivals while
    // it is out of sight mark the icon until it is in sight again.
    void setWindowInSight(bool inSight);

Q_SIGNALS:
    void changed();

private:
    struct Counts
    {
        QString notifications;
        QString assignments;
    };

    void follow(AccountSession* session);
    // "12 notifications" and "3 assignments"; none while the account needs signing in.
    static std::optional<Counts> counts(const AccountSession& session);

    AccountSessions& m_sessions;
    bool m_windowInSight = false;
    bool m_arrivedOutOfSight = false;
};

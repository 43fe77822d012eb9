#pragma once

#include "desktop/DesktopNotifications.h"
#include "github/GitHubEndpoints.h"
#include "github/Notification.h"

#include <QObject>
#include <QUrl>

// Shows one desktop notification for the threads a sync brought (NewThreadWatcher's
// arrivals): for one thread its repository and title, and clicking it opens the thread's
// page, as the row's Open does; for several their count and the first three titles, and
// clicking shows the window. With several accounts the title names the account.
class NewThreadAnnouncer : public QObject
{
    Q_OBJECT

public:
    NewThreadAnnouncer(
        DesktopNotifications& notifications, const GitHubEndpoints& endpoints, QObject* parent = nullptr);

    // `threads` newest first, at least one.
    void announce(const QList<NotificationPtr>& threads);
    // The account the titles name ("mona · github.example.com"); empty names none.
    void setAccountName(const QString& name) { m_accountName = name; }

    // The page clicking the notification of `threads` opens; none: it shows the window.
    std::optional<QUrl> page(const QList<NotificationPtr>& threads) const;
    DesktopNotifications::Message message(const QList<NotificationPtr>& threads) const;

Q_SIGNALS:
    void openRequested(const QUrl& url);
    void showWindowRequested();

private:
    DesktopNotifications& m_notifications;
    GitHubEndpoints m_endpoints;
    QString m_accountName;
};

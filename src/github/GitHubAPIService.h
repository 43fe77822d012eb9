#pragma once

#include "github/GitHubRestClient.h"
#include "github/Notification.h"
#include "github/NotificationsFetch.h"

#include <QDateTime>

#include <memory>
#include <variant>

struct Environment;

// The REST client of the two feed controllers (one instance each), with a
// SecureStorage of its own: the notification thread list and marking a thread read.
class GitHubAPIService
{
public:
    explicit GitHubAPIService(const Environment& environment);

    // Every thread changed since `since`, from `page` on through the Link header's
    // next pages, in the server's order.
    Request<QList<NotificationPtr>> fetchNotifications(const QDateTime& since, int page);

    // GitHub answers 205; a 404 or 410 means the thread is gone, which is as good as
    // read. Any other status fails with httpError.
    Request<std::monostate> markThreadAsRead(const QString& threadId);

private:
    std::shared_ptr<GitHubRestClient> m_client;
    NotificationsFetch m_notifications;
};

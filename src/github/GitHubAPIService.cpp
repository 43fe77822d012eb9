#include "github/GitHubAPIService.h"

#include "core/Environment.h"

GitHubAPIService::GitHubAPIService(const Environment& environment)
    : m_client(std::make_shared<GitHubRestClient>(environment))
    , m_notifications(m_client, *environment.console)
{ }

Request<QList<NotificationPtr>> GitHubAPIService::fetchNotifications(const QDateTime& since, int page)
{
    return m_notifications.fetch(since, page);
}

Request<std::monostate> GitHubAPIService::markThreadAsRead(const QString& threadId)
{
    const Request<HttpReply> sent
        = m_client->call(m_client->baseUrl() + QStringLiteral("/notifications/threads/") + threadId, "PATCH", "{}");
    return GitHubRestClient::readReply<std::monostate>(
        sent, [](const HttpReply& reply) -> std::variant<std::monostate, RequestError> {
            const int status = reply.statusCode;
            if ((status >= 200 && status <= 299) || status == 404 || status == 410)
                return std::monostate();
            return RequestError(APIError::httpError(status, QStringLiteral("HTTP ") + QString::number(status)));
        });
}

#include "github/GitHubAPIService.h"

#include "github/ClientEnvironment.h"
#include "github/JsonValueReader.h"
#include "github/LinkHeader.h"
#include "github/PageCollector.h"

namespace {

std::optional<QString> nextPage(const HttpReply& reply)
{
    const std::optional<QByteArray> link = reply.headers.value("Link");
    return link ? LinkHeader::target(*link, "next") : std::nullopt;
}

std::variant<Page<IssuePtr>, RequestError> readIssuesPage(const HttpReply& reply)
{
    Decoded<QList<IssuePtr>> decoded = Issue::decodeList(reply.body);
    if (auto* error = std::get_if<DecodingError>(&decoded))
        return RequestError(std::move(*error), reply.statusCode);
    return Page<IssuePtr> {std::get<QList<IssuePtr>>(std::move(decoded)), nextPage(reply)};
}

std::variant<Page<QString>, RequestError> readUnreadIdsPage(const HttpReply& reply)
{
    if (std::optional<APIError> error = NotificationsFetch::statusError(reply))
        return RequestError(std::move(*error));
    Decoded<QList<NotificationPtr>> decoded = Notification::decodeList(reply.body);
    if (auto* error = std::get_if<DecodingError>(&decoded))
        return RequestError(std::move(*error), reply.statusCode);
    QList<QString> ids;
    for (const NotificationPtr& notification : std::get<QList<NotificationPtr>>(decoded))
        ids.append(notification->id());
    return Page<QString> {std::move(ids), nextPage(reply)};
}

std::variant<User, RequestError> readUser(const HttpReply& reply)
{
    if (std::optional<APIError> error = NotificationsFetch::statusError(reply))
        return RequestError(std::move(*error));
    Decoded<User> decoded = JsonDecoder::decode(
        reply.body, [](const JsonValueReader& value) { return User::fromJson(value, QLatin1String("User")); });
    if (auto* error = std::get_if<DecodingError>(&decoded))
        return RequestError(std::move(*error), reply.statusCode);
    return std::get<User>(std::move(decoded));
}

} // namespace

GitHubAPIService::GitHubAPIService(const ClientEnvironment& environment)
    : m_client(std::make_shared<GitHubRestClient>(environment))
    , m_notifications(m_client, *environment.console)
{ }

Request<QList<NotificationPtr>> GitHubAPIService::fetchNotifications(const QDateTime& since, int page)
{
    return m_notifications.fetch(since, page);
}

Request<QSet<QString>> GitHubAPIService::fetchUnreadThreadIds()
{
    const auto fetchPage = [client = m_client](const QString& url) {
        return GitHubRestClient::readReply<Page<QString>>(
            client->callRevalidating(url, RequestKind::List), &readUnreadIdsPage);
    };
    auto pastLimit = std::make_shared<bool>(false);
    const Request<QList<QString>> all
        = PageCollector<QString>::collect(fetchPage(m_client->baseUrl() + QStringLiteral("/notifications?all=false")),
            fetchPage, maxUnreadPages, [pastLimit] { *pastLimit = true; });
    return Request<QSet<QString>>([all, pastLimit](const Promise<QSet<QString>, RequestError>& promise) {
        promise.keep(all.subscribe(
            [promise, pastLimit](const QList<QString>& ids) {
                if (*pastLimit) {
                    promise.reject(APIError::invalidResponse(QStringLiteral("More than ")
                        + QString::number(maxUnreadPages) + QStringLiteral(" pages of unread threads")));
                } else {
                    promise.resolve(QSet<QString>(ids.begin(), ids.end()));
                }
            },
            [promise](RequestError error) { promise.reject(std::move(error)); }));
    });
}

Request<std::monostate> GitHubAPIService::markThreadAsRead(const QString& threadId)
{
    const Request<HttpReply> sent
        = m_client->call(m_client->baseUrl() + QStringLiteral("/notifications/threads/") + threadId,
            RequestKind::UserAction, "PATCH", "{}");
    return GitHubRestClient::readReply<std::monostate>(
        sent, [](const HttpReply& reply) -> std::variant<std::monostate, RequestError> {
            const int status = reply.statusCode;
            if ((status >= 200 && status <= 299) || status == 404 || status == 410)
                return std::monostate();
            return RequestError(APIError::httpError(status, QStringLiteral("HTTP ") + QString::number(status)));
        });
}

Request<std::monostate> GitHubAPIService::markThreadAsDone(const QString& threadId)
{
    const Request<HttpReply> sent = m_client->call(
        m_client->baseUrl() + QStringLiteral("/notifications/threads/") + threadId, RequestKind::UserAction, "DELETE");
    return GitHubRestClient::readReply<std::monostate>(
        sent, [](const HttpReply& reply) -> std::variant<std::monostate, RequestError> {
            const int status = reply.statusCode;
            if (status >= 200 && status <= 299)
                return std::monostate();
            return RequestError(APIError::httpError(status, QStringLiteral("HTTP ") + QString::number(status)));
        });
}

Request<QList<IssuePtr>> GitHubAPIService::fetchAssignedIssues(const QDateTime& since, int page)
{
    const QString urlText = m_client->baseUrl() + QStringLiteral("/issues?filter=assigned&since=")
        + since.toUTC().toString(Qt::ISODate) + QStringLiteral("&page=") + QString::number(page);
    // Each page goes through the token guard, so a next link outside the REST API
    // fails with invalidURL instead of carrying the token there.
    const auto fetchPage = [client = m_client](const QString& url) {
        return GitHubRestClient::readReply<Page<IssuePtr>>(client->call(url, RequestKind::List), &readIssuesPage);
    };
    return PageCollector<IssuePtr>::collect(fetchPage(urlText), fetchPage, maxAssignedIssuePages, [] {});
}

Request<IssuePtr> GitHubAPIService::fetchIssue(const QString& urlText, RequestKind kind)
{
    return GitHubRestClient::decodeReply<IssuePtr>(m_client->call(urlText, kind),
        [](const QByteArray& body) { return JsonDecoder::decode(body, &Issue::fromJson); });
}

Request<PullRequestDetails> GitHubAPIService::fetchPullRequestDetails(const QString& urlText)
{
    return GitHubRestClient::decodeReply<PullRequestDetails>(m_client->call(urlText, RequestKind::Status),
        [](const QByteArray& body) { return JsonDecoder::decode(body, &PullRequestDetails::fromJson); });
}

Request<User> GitHubAPIService::fetchAuthenticatedUser()
{
    return GitHubRestClient::readReply<User>(
        m_client->call(m_client->baseUrl() + QStringLiteral("/user"), RequestKind::UserAction), &readUser);
}

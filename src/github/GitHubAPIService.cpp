#include "github/GitHubAPIService.h"

#include "github/ClientEnvironment.h"
#include "github/LinkHeader.h"
#include "github/PageCollector.h"

namespace {

std::variant<Page<IssuePtr>, RequestError> readIssuesPage(const HttpReply& reply)
{
    Decoded<QList<IssuePtr>> decoded = Issue::decodeList(reply.body);
    if (auto* error = std::get_if<DecodingError>(&decoded))
        return RequestError(std::move(*error), reply.statusCode);
    const std::optional<QByteArray> link = reply.headers.value("Link");
    return Page<IssuePtr> {
        std::get<QList<IssuePtr>>(std::move(decoded)), link ? LinkHeader::target(*link, "next") : std::nullopt};
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

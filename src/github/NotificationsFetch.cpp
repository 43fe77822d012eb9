#include "github/NotificationsFetch.h"

#include "core/Console.h"
#include "github/LinkHeader.h"

#include <QJsonObject>
#include <QStringDecoder>
#include <QTextBoundaryFinder>

NotificationsFetch::NotificationsFetch(std::shared_ptr<GitHubRestClient> client, Console& console)
    : m_client(std::move(client))
    , m_console(&console)
{ }

Request<QList<NotificationPtr>> NotificationsFetch::fetch(const QDateTime& since, int page) const
{
    m_console->print(QStringLiteral("🔧 GitHubAPIService.fetchNotifications called"));
    const std::optional<QString> token = m_client->token();
    if (!token) {
        m_console->print(QStringLiteral("❌ No GitHub token available"));
        return Request<QList<NotificationPtr>>::fromError(APIError::noToken());
    }
    m_console->print(QStringLiteral("✅ GitHub token available (length: ") + QString::number(token->size()) + u')');
    const QString urlText = m_client->baseUrl() + QStringLiteral("/notifications?all=false&since=")
        + since.toUTC().toString(Qt::ISODate) + QStringLiteral("&page=") + QString::number(page);
    const std::optional<OutgoingRequest> first = prepare(urlText, *token);
    if (!first)
        return Request<QList<NotificationPtr>>::fromError(APIError::invalidURL());

    const NotificationsFetch self = *this;
    const auto fetchNext = [self, token = *token](const QString& nextUrl) {
        const std::optional<OutgoingRequest> next = self.prepare(nextUrl, token);
        if (!next)
            return Request<Page<NotificationPtr>>::fromError(APIError::invalidURL());
        return self.fetchPage(*next);
    };
    const auto atLimit = [console = m_console] {
        console->print(QStringLiteral("⚠️ Stopped paging after ") + QString::number(maxPages)
            + QStringLiteral(" pages; older notifications were not fetched"));
    };
    const Request<QList<NotificationPtr>> all
        = PageCollector<NotificationPtr>::collect(fetchPage(*first), fetchNext, maxPages, atLimit);
    return Request<QList<NotificationPtr>>([self, all](const Promise<QList<NotificationPtr>, RequestError>& promise) {
        promise.keep(all.subscribe([promise](QList<NotificationPtr> notifications) { promise.resolve(notifications); },
            [self, promise](RequestError error) {
                self.printFailure(error);
                promise.reject(std::move(error));
            }));
    });
}

std::optional<OutgoingRequest> NotificationsFetch::prepare(const QString& urlText, const QString& token) const
{
    m_console->print(QStringLiteral("🔧 Request URL: ") + urlText);
    const std::optional<QUrl> url = m_client->authorizedUrl(urlText);
    if (!url) {
        m_console->print(QStringLiteral("❌ Invalid URL: ") + urlText);
        return std::nullopt;
    }
    const OutgoingRequest request = GitHubRestClient::request(*url, token, RequestKind::List);
    // The token is never printed, only its length.
    HeaderList shown = request.headers;
    shown.set("Authorization", GitHubRestClient::redactedAuthorization());
    m_console->print(QStringLiteral("🔧 Request headers: ") + shown.toDisplayText());
    return request;
}

Request<Page<NotificationPtr>> NotificationsFetch::fetchPage(const OutgoingRequest& request) const
{
    const NotificationsFetch self = *this;
    return Request<Page<NotificationPtr>>([self, request](const Promise<Page<NotificationPtr>, RequestError>& promise) {
        self.m_console->print(QStringLiteral("🔧 Starting network request..."));
        promise.keep(self.m_client->send(request).subscribe(
            [self, promise](const HttpReply& reply) {
                std::variant<Page<NotificationPtr>, RequestError> page = self.readPage(reply);
                if (auto* error = std::get_if<RequestError>(&page))
                    promise.reject(std::move(*error));
                else
                    promise.resolve(std::get<Page<NotificationPtr>>(std::move(page)));
            },
            [self, promise](const RequestError& error) {
                self.m_console->print(QStringLiteral("❌ Network request failed: ") + error.localizedDescription());
                promise.reject(error);
            }));
    });
}

std::variant<Page<NotificationPtr>, RequestError> NotificationsFetch::readPage(const HttpReply& reply) const
{
    printReceived(reply);
    m_console->print(QStringLiteral("✅ Network request completed successfully"));
    if (std::optional<APIError> error = checkStatus(reply))
        return RequestError(std::move(*error));
    Decoded<QList<NotificationPtr>> decoded = Notification::decodeList(reply.body);
    if (auto* error = std::get_if<DecodingError>(&decoded))
        return RequestError(std::move(*error), reply.statusCode);
    auto& notifications = std::get<QList<NotificationPtr>>(decoded);
    m_console->print(QStringLiteral("✅ Successfully decoded ") + QString::number(notifications.size())
        + QStringLiteral(" notifications"));
    const std::optional<QByteArray> link = reply.headers.value("Link");
    return Page<NotificationPtr> {std::move(notifications), link ? LinkHeader::target(*link, "next") : std::nullopt};
}

void NotificationsFetch::printReceived(const HttpReply& reply) const
{
    m_console->print(QStringLiteral("🔧 Received response:"));
    if (reply.statusCode != 0) {
        m_console->print(QStringLiteral("   Status Code: ") + QString::number(reply.statusCode));
        m_console->print(QStringLiteral("   Headers: ") + reply.headers.toDisplayText());
    }
    m_console->print(QStringLiteral("   Data size: ") + QString::number(reply.body.size()) + QStringLiteral(" bytes"));
    if (const std::optional<QString> raw = rawResponseText(reply.body))
        m_console->print(QStringLiteral("🔧 Raw response: ") + *raw);
}

std::optional<APIError> NotificationsFetch::statusError(const HttpReply& reply)
{
    if (reply.statusCode == 0)
        return APIError::invalidResponse(QStringLiteral("Not an HTTP response"));
    if (reply.statusCode == 403) {
        if (const std::optional<QByteArray> reset = reply.headers.value("X-RateLimit-Reset"))
            return APIError::rateLimited(QString::fromUtf8(*reset));
    }
    if (reply.statusCode >= 200 && reply.statusCode <= 299)
        return std::nullopt;
    QString gitHubMessage;
    const Decoded<QJsonValue> body = JsonDecoder::parse(reply.body);
    if (const auto* json = std::get_if<QJsonValue>(&body))
        gitHubMessage = json->toObject().value(QStringLiteral("message")).toString();
    return APIError::httpError(
        reply.statusCode, QStringLiteral("HTTP ") + QString::number(reply.statusCode), gitHubMessage);
}

std::optional<APIError> NotificationsFetch::checkStatus(const HttpReply& reply) const
{
    std::optional<APIError> error = statusError(reply);
    if (reply.statusCode == 0)
        return error;
    m_console->print(QStringLiteral("🔧 HTTP Status Code: ") + QString::number(reply.statusCode));
    if (error && error->kind() == APIError::Kind::rateLimited)
        m_console->print(QStringLiteral("⚠️ Rate limited. Reset time: ") + error->resetTime());
    else if (error)
        m_console->print(QStringLiteral("❌ HTTP Error: ") + error->message());
    return error;
}

void NotificationsFetch::printFailure(const RequestError& error) const
{
    m_console->print(QStringLiteral("❌ Decoding failed: ") + error.description());
    if (const DecodingError* decoding = error.decodingError()) {
        for (const QString& line : decoding->diagnostics())
            m_console->print(line);
    }
    m_console->print(QStringLiteral("❌ Final error: ") + error.description());
}

std::optional<QString> NotificationsFetch::rawResponseText(const QByteArray& body)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(body);
    if (decoder.hasError())
        return std::nullopt;
    // Characters as a reader sees them: an emoji or an accented letter counts once.
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int count = 0; count < 500 && end < text.size(); ++count)
        end = boundaries.toNextBoundary();
    return text.left(end) + QStringLiteral("...");
}

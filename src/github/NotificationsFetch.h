#pragma once

#include "github/GitHubRestClient.h"
#include "github/Notification.h"
#include "github/PageCollector.h"

#include <QDateTime>

#include <memory>

class Console;

// The notification thread list request of GitHubAPIService, with its console lines:
// it checks the status and the rate limit, decodes the threads, and follows the
// Link header to the last page so that no thread changed since the last pull is lost.
class NotificationsFetch
{
public:
    static constexpr int maxPages = 100;

    NotificationsFetch(std::shared_ptr<GitHubRestClient> client, Console& console);

    Request<QList<NotificationPtr>> fetch(const QDateTime& since, int page) const;

    // The console text of a body: its first 500 characters and "..." when it is UTF-8
    // text, none otherwise.
    static std::optional<QString> rawResponseText(const QByteArray& body);
    // What a notifications reply's status says: nothing for a 2xx, a rate limit for a 403
    // with a reset time, an HTTP error otherwise (with the "message" of GitHub's body).
    static std::optional<APIError> statusError(const HttpReply& reply);

private:
    // Prints the URL and the headers; none (after printing why) for a URL that may
    // not carry the token.
    std::optional<OutgoingRequest> prepare(const QString& urlText, const QString& token) const;
    Request<Page<NotificationPtr>> fetchPage(const OutgoingRequest& request) const;
    void printReceived(const HttpReply& reply) const;
    std::variant<Page<NotificationPtr>, RequestError> readPage(const HttpReply& reply) const;
    std::optional<APIError> checkStatus(const HttpReply& reply) const;
    void printFailure(const RequestError& error) const;

    std::shared_ptr<GitHubRestClient> m_client;
    Console* m_console;
};

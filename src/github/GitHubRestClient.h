#pragma once

#include "github/GitHubEndpoints.h"
#include "github/JsonDecoder.h"
#include "github/RequestError.h"
#include "github/ServerVersion.h"
#include "http/HttpReply.h"
#include "http/OutgoingRequest.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <variant>

class HttpTransport;
class TokenProvider;
struct ClientEnvironment;

// The request machinery the REST clients share (GitHubAPIService, StatusFetchingService):
// the token from the client's own TokenProvider (forgotten when GitHub refuses it, so
// that a token saved since is read), URLs checked against the REST API base
// before they may carry it (redirects too), exactly the two GitHub headers, and sending
// through the process's HttpTransport. Hands back the reply whatever its status; each request
// decides what a status means. Tells its owner which server answered (ServerVersion).
class GitHubRestClient
{
public:
    explicit GitHubRestClient(const ClientEnvironment& environment);
    ~GitHubRestClient();
    GitHubRestClient(const GitHubRestClient&) = delete;
    GitHubRestClient& operator=(const GitHubRestClient&) = delete;

    // The REST API base URL, without a trailing slash.
    const QString& baseUrl() const { return m_endpoints.apiBase(); }
    const GitHubEndpoints& endpoints() const { return m_endpoints; }

    // The stored token; none when absent or empty.
    std::optional<QString> token();
    // The next token() reads the store again.
    void forgetCachedToken();

    // `heard` runs with what each HTTP reply to this client says of the server, as the
    // reply arrives and before its request reports; it is dropped with the client.
    void watchServerVersion(std::function<void(const ServerVersion&)> heard);

    // `text` as a URL that may carry the token: it parses, and lies under the REST API
    // base (same scheme, host and port, inside the base path). None otherwise, so a
    // pasted or server-supplied address never collects the token.
    std::optional<QUrl> authorizedUrl(const QString& text) const;

    // Where a redirect from `from` with this Location value leads, when that address may
    // carry the token as authorizedUrl() says; none otherwise.
    static std::optional<QUrl> redirectTarget(
        const GitHubEndpoints& endpoints, const QUrl& from, const QByteArray& location);

    // The request with exactly the two headers GitHub needs.
    static OutgoingRequest request(const QUrl& url, const QString& token, RequestKind kind,
        const QByteArray& method = "GET", const QByteArray& body = {});

    // The Authorization value shown in console lines in place of the token.
    static QByteArray redactedAuthorization() { return QByteArrayLiteral("token ***"); }

    // Sends `request` when subscribed: the reply of any status, or the TransportError.
    // A GET follows redirects that stay under the REST API base; one leading elsewhere
    // fails with invalidURL. A 401 makes the client forget its cached token.
    Request<HttpReply> send(OutgoingRequest request) const;

    // Token, URL, guard, headers and send in one: fails with noToken or invalidURL
    // before anything is sent. For requests that print nothing.
    Request<HttpReply> call(
        const QString& urlText, RequestKind kind, const QByteArray& method = "GET", const QByteArray& body = {});
    // A GET as call() whose kept reply is asked about again even while fresh: the
    // caller needs GitHub's state of now, which an unchanged resource gives as a free 304.
    Request<HttpReply> callRevalidating(const QString& urlText, RequestKind kind);

    // A request whose value is `read` applied to the reply: `read` returns the value
    // or the RequestError that fails the request.
    template <typename T, typename Read>
    static Request<T> readReply(Request<HttpReply> sent, Read read)
    {
        return Request<T>([sent = std::move(sent), read](const Promise<T, RequestError>& promise) {
            promise.keep(sent.subscribe(
                [promise, read](const HttpReply& reply) {
                    std::variant<T, RequestError> result = read(reply);
                    if (auto* error = std::get_if<RequestError>(&result))
                        promise.reject(std::move(*error));
                    else
                        promise.resolve(std::get<T>(std::move(result)));
                },
                [promise](RequestError error) { promise.reject(std::move(error)); }));
        });
    }

    // A request whose value is `decode` applied to the reply's body, whatever the reply's
    // status: `decode(const QByteArray&)` returns Decoded<T>. A body that does not decode
    // fails the request with the DecodingError and the reply's status (see
    // RequestError::httpStatus), so that an error reply surfaces as a decoding error.
    template <typename T, typename Decode>
    static Request<T> decodeReply(Request<HttpReply> sent, Decode decode)
    {
        return readReply<T>(std::move(sent), [decode](const HttpReply& reply) -> std::variant<T, RequestError> {
            Decoded<T> decoded = decode(reply.body);
            if (auto* error = std::get_if<DecodingError>(&decoded))
                return RequestError(std::move(*error), reply.statusCode);
            return std::get<T>(std::move(decoded));
        });
    }

private:
    std::variant<OutgoingRequest, APIError> prepare(
        const QString& urlText, RequestKind kind, const QByteArray& method, const QByteArray& body);

    GitHubEndpoints m_endpoints;
    HttpTransport* m_transport;
    // Shared with the requests in flight, which may outlive the client.
    std::shared_ptr<TokenProvider> m_tokens;
    std::shared_ptr<std::function<void(const ServerVersion&)>> m_serverVersionHeard;
};

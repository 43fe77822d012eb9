#include "github/GitHubRestClient.h"

#include "github/ClientEnvironment.h"
#include "github/TokenProvider.h"
#include "http/HttpTransport.h"

namespace {

// GitHub redirects requests for renamed repositories and transferred items.
constexpr int kMaxRedirects = 5;

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

using ServerVersionHeard = std::function<void(const ServerVersion&)>;

// What the requests of one client share with it; they may outlive it.
struct ClientLinks
{
    std::weak_ptr<TokenProvider> tokens;
    std::weak_ptr<ServerVersionHeard> serverVersionHeard;
};

// Sends `request`, following the redirects of a GET that stay under the REST API base;
// one that leads elsewhere fails with invalidURL, so the token never goes there.
void sendFollowingRedirects(HttpTransport& transport, const GitHubEndpoints& endpoints, const ClientLinks& links,
    const OutgoingRequest& request, const Promise<HttpReply, RequestError>& promise, int redirectsLeft)
{
    auto call = std::make_shared<HttpCall>();
    *call = transport.send(request,
        [&transport, endpoints, links, request, promise, redirectsLeft](const HttpTransport::Outcome& outcome) {
            if (const auto* error = std::get_if<TransportError>(&outcome)) {
                promise.reject(*error);
                return;
            }
            const HttpReply& reply = std::get<HttpReply>(outcome);
            if (const std::shared_ptr<ServerVersionHeard> heard = links.serverVersionHeard.lock();
                heard && *heard && reply.statusCode != 0)
                (*heard)(ServerVersion::fromReplyHeaders(reply.headers));
            // A refused token is not sent again from the cache; the next request reads
            // the store, where the user may have saved a new one meanwhile.
            if (reply.statusCode == 401) {
                if (const std::shared_ptr<TokenProvider> provider = links.tokens.lock())
                    provider->forgetCachedToken();
            }
            const std::optional<QByteArray> location = reply.headers.value("Location");
            if (request.method != "GET" || !isRedirect(reply.statusCode) || !location || redirectsLeft == 0) {
                promise.resolve(reply);
                return;
            }
            const std::optional<QUrl> target = GitHubRestClient::redirectTarget(endpoints, request.url, *location);
            if (!target) {
                promise.reject(APIError::invalidURL());
                return;
            }
            OutgoingRequest redirected = request;
            redirected.url = *target;
            sendFollowingRedirects(transport, endpoints, links, redirected, promise, redirectsLeft - 1);
        });
    promise.onCancel([call] { call->abort(); });
}

} // namespace

GitHubRestClient::GitHubRestClient(const ClientEnvironment& environment)
    : m_endpoints(environment.endpoints)
    , m_transport(environment.http)
    , m_tokens(environment.makeTokenProvider())
    , m_serverVersionHeard(std::make_shared<ServerVersionHeard>())
{ }

GitHubRestClient::~GitHubRestClient() = default;

std::optional<QString> GitHubRestClient::token()
{
    std::optional<QString> token = m_tokens->token();
    if (!token || token->isEmpty())
        return std::nullopt;
    return token;
}

void GitHubRestClient::forgetCachedToken()
{
    m_tokens->forgetCachedToken();
}

void GitHubRestClient::watchServerVersion(std::function<void(const ServerVersion&)> heard)
{
    *m_serverVersionHeard = std::move(heard);
}

std::optional<QUrl> GitHubRestClient::authorizedUrl(const QString& text) const
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || !m_endpoints.isUnderApiBase(url))
        return std::nullopt;
    return url;
}

std::optional<QUrl> GitHubRestClient::redirectTarget(
    const GitHubEndpoints& endpoints, const QUrl& from, const QByteArray& location)
{
    // A Location that does not parse would still resolve to some address.
    const QUrl reference(QString::fromUtf8(location), QUrl::StrictMode);
    if (!reference.isValid())
        return std::nullopt;
    const QUrl target = from.resolved(reference);
    if (!target.isValid() || !endpoints.isUnderApiBase(target))
        return std::nullopt;
    return target;
}

OutgoingRequest GitHubRestClient::request(
    const QUrl& url, const QString& token, RequestKind kind, const QByteArray& method, const QByteArray& body)
{
    return OutgoingRequest {method, url,
        HeaderList {{"Authorization", "token " + token.toUtf8()}, {"Accept", "application/vnd.github+json"}}, body,
        kind};
}

Request<HttpReply> GitHubRestClient::send(OutgoingRequest request) const
{
    const ClientLinks links {m_tokens, m_serverVersionHeard};
    return Request<HttpReply>([transport = m_transport, endpoints = m_endpoints, links, request](
                                  const Promise<HttpReply, RequestError>& promise) {
        sendFollowingRedirects(*transport, endpoints, links, request, promise, kMaxRedirects);
    });
}

std::variant<OutgoingRequest, APIError> GitHubRestClient::prepare(
    const QString& urlText, RequestKind kind, const QByteArray& method, const QByteArray& body)
{
    const std::optional<QString> currentToken = token();
    if (!currentToken)
        return APIError::noToken();
    const std::optional<QUrl> url = authorizedUrl(urlText);
    if (!url)
        return APIError::invalidURL();
    return request(*url, *currentToken, kind, method, body);
}

Request<HttpReply> GitHubRestClient::call(
    const QString& urlText, RequestKind kind, const QByteArray& method, const QByteArray& body)
{
    std::variant<OutgoingRequest, APIError> prepared = prepare(urlText, kind, method, body);
    if (auto* error = std::get_if<APIError>(&prepared))
        return Request<HttpReply>::fromError(*error);
    return send(std::get<OutgoingRequest>(std::move(prepared)));
}

Request<HttpReply> GitHubRestClient::callRevalidating(const QString& urlText, RequestKind kind)
{
    std::variant<OutgoingRequest, APIError> prepared = prepare(urlText, kind, "GET", {});
    if (auto* error = std::get_if<APIError>(&prepared))
        return Request<HttpReply>::fromError(*error);
    auto& request = std::get<OutgoingRequest>(prepared);
    request.revalidate = true;
    return send(std::move(request));
}

#include "github/GitHubRestClient.h"

#include "core/Environment.h"
#include "github/HttpTransport.h"
#include "storage/SecureStorage.h"

GitHubRestClient::GitHubRestClient(const Environment& environment)
    : m_endpoints(environment.endpoints)
    , m_transport(environment.http)
    , m_secureStorage(std::make_unique<SecureStorage>(environment))
{ }

GitHubRestClient::~GitHubRestClient() = default;

std::optional<QString> GitHubRestClient::token()
{
    std::optional<QString> token = m_secureStorage->getToken();
    if (!token || token->isEmpty())
        return std::nullopt;
    return token;
}

std::optional<QUrl> GitHubRestClient::authorizedUrl(const QString& text) const
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || !m_endpoints.isUnderApiBase(url))
        return std::nullopt;
    return url;
}

OutgoingRequest GitHubRestClient::request(
    const QUrl& url, const QString& token, const QByteArray& method, const QByteArray& body)
{
    return OutgoingRequest {method, url,
        HeaderList {{"Authorization", "token " + token.toUtf8()}, {"Accept", "application/vnd.github+json"}}, body};
}

Request<HttpReply> GitHubRestClient::send(OutgoingRequest request) const
{
    return Request<HttpReply>([transport = m_transport, request](const Promise<HttpReply, RequestError>& promise) {
        auto call
            = std::make_shared<HttpCall>(transport->send(request, [promise](const HttpTransport::Outcome& outcome) {
                  if (const auto* error = std::get_if<TransportError>(&outcome))
                      promise.reject(*error);
                  else
                      promise.resolve(std::get<HttpReply>(outcome));
              }));
        promise.onCancel([call] { call->abort(); });
    });
}

Request<HttpReply> GitHubRestClient::call(const QString& urlText, const QByteArray& method, const QByteArray& body)
{
    const std::optional<QString> currentToken = token();
    if (!currentToken)
        return Request<HttpReply>::fromError(APIError::noToken());
    const std::optional<QUrl> url = authorizedUrl(urlText);
    if (!url)
        return Request<HttpReply>::fromError(APIError::invalidURL());
    return send(request(*url, *currentToken, method, body));
}

#include "signin/GitHubOAuthService.h"

#include "core/Console.h"
#include "core/DebugLogger.h"
#include "core/Scheduler.h"
#include "http/HttpTransport.h"
#include "signin/FormBody.h"
#include "signin/OAuthLogText.h"
#include "storage/Environment.h"

#include <QJsonObject>
#include <QPointer>

#include <algorithm>

namespace {

QUrl endpointUrl(const GitHubEndpoints& endpoints, QLatin1String path)
{
    return QUrl(endpoints.webBase() + path, QUrl::StrictMode);
}

bool isUsable(const QUrl& url)
{
    return url.isValid() && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))
        && !url.host().isEmpty();
}

} // namespace

GitHubOAuthService::GitHubOAuthService(const Environment& environment, QObject* parent)
    : QObject(parent)
    , m_scheduler(*environment.scheduler)
    , m_console(*environment.console)
    , m_logger(*environment.logger)
    , m_http(*environment.http)
    , m_clientId(environment.oauthClientId)
    , m_deviceCodeUrl(endpointUrl(environment.endpoints, QLatin1String("/login/device/code")))
    , m_tokenUrl(endpointUrl(environment.endpoints, QLatin1String("/login/oauth/access_token")))
    , m_secureStorage(environment)
{
    if (m_secureStorage.getToken()) {
        m_isAuthenticated = true;
        m_console.print(QStringLiteral("🔐 OAuth: Found existing authentication"));
    }
}

GitHubOAuthService::~GitHubOAuthService() = default;

void GitHubOAuthService::startDeviceFlow()
{
    if (m_clientId.isEmpty()) {
        log(QStringLiteral("Invalid client ID"), LogLevel::Error);
        setAuthenticationError(TempOAuthError::InvalidClientID);
        enter(State::Failed);
        return;
    }
    // A new flow replaces the codes of one still running; its replies are of no use.
    stopPolling();
    m_deviceCode.reset();
    enter(State::RequestingCode);
    setAuthenticationError(std::nullopt);
    setDebugInfo(QStringLiteral("Starting device flow authentication..."));
    log(QStringLiteral("Starting device flow authentication"), LogLevel::Info);
    requestDeviceCode();
}

void GitHubOAuthService::requestDeviceCode()
{
    if (!isUsable(m_deviceCodeUrl)) {
        log(QStringLiteral("Invalid device code URL"), LogLevel::Error);
        setAuthenticationError(TempOAuthError::InvalidRedirectURI);
        enter(State::Failed);
        setDebugInfo(QStringLiteral("Invalid device code URL"));
        return;
    }
    const QString scopeText = QLatin1String(scope);
    const QByteArray body = formBody({{QStringLiteral("client_id"), m_clientId}, {QStringLiteral("scope"), scopeText}});
    log(QStringLiteral("Requesting device code from: ") + m_deviceCodeUrl.toString(QUrl::RemovePassword),
        LogLevel::Info);
    // Only client_id and scope: the poll's body, which holds the device code, is never logged.
    log(QStringLiteral("Request body: ") + QString::fromUtf8(body), LogLevel::Debug);
    log(QStringLiteral("Client ID: ") + m_clientId, LogLevel::Debug);
    log(QStringLiteral("Scopes: ") + scopeText, LogLevel::Debug);
    setDebugInfo(QStringLiteral("Requesting device code from GitHub..."));
    m_deviceCodeCall = post(m_deviceCodeUrl, body, [this](const auto& outcome) { handleDeviceCodeResponse(outcome); });
}

void GitHubOAuthService::handleDeviceCodeResponse(const HttpExchange::Outcome& outcome)
{
    if (const auto* error = std::get_if<TransportError>(&outcome)) {
        const QString description = error->localizedDescription();
        failDeviceCodeRequest(QStringLiteral("Network error during device code request: ") + description,
            {.code = 1,
                .localizedDescription = QStringLiteral("Network error: ") + description,
                .failureReason = QStringLiteral("Failed to connect to GitHub")},
            QStringLiteral("Network error: ") + description);
        return;
    }
    const HttpReply& reply = std::get<HttpReply>(outcome);
    if (reply.statusCode != 0) {
        const QString status = QString::number(reply.statusCode);
        log(QStringLiteral("HTTP Status Code: ") + status, LogLevel::Debug);
        log(QStringLiteral("Response Headers: ") + reply.headers.toDisplayText(), LogLevel::Debug);
        log(QStringLiteral("HTTP Status: ") + status, LogLevel::Debug);
        if (reply.statusCode != 200) {
            const QString message = QStringLiteral("GitHub returned HTTP ") + status;
            failDeviceCodeRequest(message,
                {.code = reply.statusCode,
                    .localizedDescription = message,
                    .failureReason = QStringLiteral("Device code request failed")},
                message);
            if (const std::optional<QString> text = DeviceFlowReplies::utf8Text(reply.body))
                log(QStringLiteral("Error response body: ") + OAuthLogText::masked(*text), LogLevel::Debug);
            return;
        }
    }
    if (reply.body.isEmpty()) {
        failDeviceCodeRequest(QStringLiteral("No data received from device code request"),
            {.code = 2,
                .localizedDescription = QStringLiteral("No data received from GitHub"),
                .failureReason = QStringLiteral("Empty response from device code request")},
            QStringLiteral("No data received from GitHub"));
        return;
    }
    if (const std::optional<QString> text = DeviceFlowReplies::utf8Text(reply.body))
        log(QStringLiteral("Raw response: ") + OAuthLogText::masked(*text), LogLevel::Debug);
    const auto parsed = DeviceFlowReplies::parseObject(reply.body);
    if (const auto* parseError = std::get_if<QString>(&parsed)) {
        const QString message = QStringLiteral("JSON parsing error: ") + *parseError;
        failDeviceCodeRequest(message,
            {.code = 6,
                .localizedDescription = message,
                .failureReason = QStringLiteral("Unable to parse GitHub response")},
            message);
        return;
    }
    if (std::holds_alternative<DeviceFlowReplies::NotAnObject>(parsed)) {
        failDeviceCodeRequest(QStringLiteral("Failed to parse device code response as JSON"),
            {.code = 5,
                .localizedDescription = QStringLiteral("Failed to parse GitHub response"),
                .failureReason = QStringLiteral("Response is not valid JSON")},
            QStringLiteral("Failed to parse GitHub response"));
        return;
    }
    handleDeviceCodeJson(std::get<QJsonObject>(parsed));
}

void GitHubOAuthService::handleDeviceCodeJson(const QJsonObject& json)
{
    log(QStringLiteral("Device code response: ") + OAuthLogText::object(json), LogLevel::Debug);
    auto read = DeviceFlowReplies::readDeviceCode(json);
    if (const auto* refusal = std::get_if<DeviceFlowReplies::Refusal>(&read)) {
        failDeviceCodeRequest(
            QStringLiteral("GitHub API error: ") + refusal->error + QStringLiteral(" - ") + refusal->description,
            {.code = 3,
                .localizedDescription = QStringLiteral("GitHub API Error: ") + refusal->description,
                .failureReason = QStringLiteral("Error type: ") + refusal->error},
            QStringLiteral("GitHub API Error: ") + refusal->description);
        return;
    }
    if (std::holds_alternative<DeviceFlowReplies::MissingFields>(read)) {
        log(QStringLiteral("Missing required fields in device code response"), LogLevel::Error);
        log(QStringLiteral("Available keys: ") + OAuthLogText::keys(json), LogLevel::Debug);
        endFlow(OAuthError {.code = 4,
                    .localizedDescription = QStringLiteral("Invalid device code response from GitHub"),
                    .failureReason
                    = QStringLiteral("Missing required fields: device_code, user_code, or verification_uri")},
            QStringLiteral("Invalid device code response: missing required fields"));
        return;
    }
    auto& codes = std::get<DeviceFlowReplies::DeviceCode>(read);
    m_deviceCode = std::move(codes.deviceCode);
    m_userCode = std::move(codes.userCode);
    m_verificationURI = std::move(codes.verificationURI);
    m_interval = codes.interval;
    log(QStringLiteral("Device code received"), LogLevel::Success);
    log(QStringLiteral("User code: ") + *m_userCode, LogLevel::Info);
    log(QStringLiteral("Verification URL: ") + *m_verificationURI, LogLevel::Info);
    setDebugInfo(QStringLiteral("Device code received! User code: ") + *m_userCode);
    startPolling();
}

void GitHubOAuthService::startPolling()
{
    stopPolling();
    m_pollTimer = m_scheduler.startRepeating(m_interval, [this] { pollForToken(); });
    m_console.print(QStringLiteral("🔄 OAuth: Started polling for authorization (interval: ")
        + QString::number(m_interval.count()) + QStringLiteral("s)"));
    enter(State::Polling);
}

void GitHubOAuthService::pollForToken()
{
    // GitHub answers overlapping polls with "slow_down"; wait for the answer instead.
    if (m_pollCall)
        return;
    const QByteArray body
        = formBody({{QStringLiteral("client_id"), m_clientId}, {QStringLiteral("device_code"), m_deviceCode.value()},
            {QStringLiteral("grant_type"), QLatin1String(grantType)}});
    m_pollCall = post(m_tokenUrl, body, [this](const auto& outcome) { handlePollResponse(outcome); });
}

void GitHubOAuthService::handlePollResponse(const HttpExchange::Outcome& outcome)
{
    m_pollCall.reset();
    // Transport, data and parsing failures are written out; the next tick polls again.
    if (const auto* error = std::get_if<TransportError>(&outcome)) {
        m_console.print(QStringLiteral("❌ OAuth: Network error during polling: ") + error->description());
        return;
    }
    const HttpReply& reply = std::get<HttpReply>(outcome);
    if (reply.body.isEmpty()) {
        m_console.print(QStringLiteral("❌ OAuth: No data received during polling"));
        return;
    }
    const auto parsed = DeviceFlowReplies::parseObject(reply.body);
    if (const auto* parseError = std::get_if<QString>(&parsed)) {
        m_console.print(QStringLiteral("❌ OAuth: Error parsing polling response: ") + *parseError);
        return;
    }
    if (const auto* json = std::get_if<QJsonObject>(&parsed))
        handlePoll(DeviceFlowReplies::readPoll(*json));
}

void GitHubOAuthService::handlePoll(const DeviceFlowReplies::PollReply& poll)
{
    using Verdict = DeviceFlowReplies::PollReply::Verdict;
    switch (poll.verdict) {
    case Verdict::Token:
        stopPolling();
        handleSuccessfulAuthentication(poll.value);
        return;
    case Verdict::Pending:
        m_console.print(QStringLiteral("⏳ OAuth: Authorization pending..."));
        return;
    case Verdict::SlowDown:
        m_console.print(QStringLiteral("⚠️ OAuth: Rate limited, increasing poll interval"));
        m_interval = std::min(m_interval + slowDownStep, DeviceFlowReplies::maximumInterval);
        startPolling();
        return;
    case Verdict::Expired:
        failPolling(QStringLiteral("❌ OAuth: Device code expired"),
            {.code = 4, .localizedDescription = QStringLiteral("Device code expired"), .failureReason = std::nullopt});
        return;
    case Verdict::Denied:
        failPolling(QStringLiteral("❌ OAuth: User denied authorization"),
            {.code = 5,
                .localizedDescription = QStringLiteral("User denied authorization"),
                .failureReason = std::nullopt});
        return;
    case Verdict::OtherError:
        if (poll.description)
            m_console.print(QStringLiteral("❌ OAuth: Device flow error: ") + *poll.description);
        else
            m_console.print(QStringLiteral("❌ OAuth: Unknown device flow error: ") + poll.value);
        return;
    case Verdict::Nothing:
        return;
    }
}

void GitHubOAuthService::handleSuccessfulAuthentication(const QString& token)
{
    m_console.print(QStringLiteral("✅ OAuth: Successfully obtained access token via device flow"));
    m_secureStorage.saveToken(token);
    setAuthenticated(true);
    setAuthenticationError(std::nullopt);
    enter(State::Succeeded);
    m_deviceCode.reset();
    m_userCode.reset();
    m_verificationURI.reset();
    m_console.print(QStringLiteral("🔐 OAuth: Token stored securely"));
    m_console.print(QStringLiteral("✅ OAuth: Device flow authentication complete - isAuthenticated = ")
        + (m_isAuthenticated ? QStringLiteral("true") : QStringLiteral("false")));
}

void GitHubOAuthService::stopPolling()
{
    m_pollTimer.cancel();
    m_pollCall.reset();
}

void GitHubOAuthService::failDeviceCodeRequest(
    const QString& logMessage, const OAuthError& error, const QString& debugInfo)
{
    log(logMessage, LogLevel::Error);
    endFlow(error, debugInfo);
}

void GitHubOAuthService::endFlow(const OAuthError& error, const QString& debugInfo)
{
    setAuthenticationError(error);
    enter(State::Failed);
    setDebugInfo(debugInfo);
}

void GitHubOAuthService::failPolling(const QString& line, const OAuthError& error)
{
    m_console.print(line);
    stopPolling();
    // The code is spent; only the user code stays on show next to the error.
    m_deviceCode.reset();
    setAuthenticationError(error);
    enter(State::Failed);
}

HttpCall GitHubOAuthService::post(
    const QUrl& url, const QByteArray& body, std::function<void(const HttpExchange::Outcome&)> handler)
{
    OutgoingRequest request;
    request.method = QByteArrayLiteral("POST");
    request.url = url;
    request.headers = HeaderList {{QByteArrayLiteral("Accept"), QByteArrayLiteral("application/json")},
        {QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/x-www-form-urlencoded")}};
    request.body = body;
    return m_http.send(std::move(request),
        [self = QPointer<GitHubOAuthService>(this), handler = std::move(handler)](
            const HttpExchange::Outcome& outcome) {
            if (self)
                handler(outcome);
        });
}

void GitHubOAuthService::log(const QString& message, LogLevel level)
{
    m_logger.log(message, level, QStringLiteral("OAuth"));
}

void GitHubOAuthService::enter(State state)
{
    if (m_state == state)
        return;
    const bool wasAuthenticating = isAuthenticating();
    m_state = state;
    if (wasAuthenticating != isAuthenticating())
        Q_EMIT isAuthenticatingChanged(isAuthenticating());
    Q_EMIT stateChanged(m_state);
}

void GitHubOAuthService::setAuthenticated(bool authenticated)
{
    if (m_isAuthenticated == authenticated)
        return;
    m_isAuthenticated = authenticated;
    Q_EMIT isAuthenticatedChanged(m_isAuthenticated);
}

void GitHubOAuthService::setAuthenticationError(std::optional<AuthenticationError> error)
{
    if (m_authenticationError == error)
        return;
    m_authenticationError = std::move(error);
    Q_EMIT authenticationErrorChanged();
}

void GitHubOAuthService::setDebugInfo(const QString& debugInfo)
{
    if (m_debugInfo == debugInfo)
        return;
    m_debugInfo = debugInfo;
    Q_EMIT debugInfoChanged(m_debugInfo);
}

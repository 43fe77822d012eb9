#pragma once

#include "core/LogLevel.h"
#include "core/TimerHandle.h"
#include "http/HttpCall.h"
#include "http/HttpExchange.h"
#include "signin/AuthenticationError.h"
#include "signin/DeviceFlowReplies.h"
#include "storage/SecureStorage.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class Console;
class DebugLogger;
class HttpTransport;
class QJsonObject;
class Scheduler;
struct Environment;

// Signs the user in to GitHub with the OAuth device flow: asks for a device code and a
// short user code, lets the user enter the code in the browser, and polls the token
// endpoint until GitHub hands out a token, which it stores. The sign-in sheet and the
// terminal sign-in own one instance each and watch its published state.
//
// Idle → RequestingCode → Polling → Succeeded or Failed; a missing client identifier or
// an unusable web address fails at once. Any state can start a new flow. Destroying
// the service stops its timer and drops the request in flight.
class GitHubOAuthService : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isAuthenticated READ isAuthenticated NOTIFY isAuthenticatedChanged)
    Q_PROPERTY(bool isAuthenticating READ isAuthenticating NOTIFY isAuthenticatingChanged)
    Q_PROPERTY(std::optional<AuthenticationError> authenticationError READ authenticationError NOTIFY
            authenticationErrorChanged)
    Q_PROPERTY(QString debugInfo READ debugInfo NOTIFY debugInfoChanged)
    Q_PROPERTY(State state READ state NOTIFY stateChanged)

public:
    enum class State {
        Idle,
        RequestingCode,
        Polling,
        Succeeded,
        Failed,
    };
    Q_ENUM(State)

    static constexpr auto scope = "notifications repo read:user";
    static constexpr auto grantType = "urn:ietf:params:oauth:grant-type:device_code";
    static constexpr std::chrono::seconds defaultInterval = DeviceFlowReplies::defaultInterval;
    // Added to the polling period each time GitHub answers "slow_down".
    static constexpr std::chrono::seconds slowDownStep {5};

    // Reads the stored token at once: with one, the service starts authenticated.
    explicit GitHubOAuthService(const Environment& environment, QObject* parent = nullptr);
    ~GitHubOAuthService() override;

    bool isAuthenticated() const { return m_isAuthenticated; }
    bool isAuthenticating() const { return m_state == State::RequestingCode || m_state == State::Polling; }
    const std::optional<AuthenticationError>& authenticationError() const { return m_authenticationError; }
    const QString& debugInfo() const { return m_debugInfo; }
    State state() const { return m_state; }

    // From the device-code reply until the flow succeeds.
    const std::optional<QString>& userCode() const { return m_userCode; }
    const std::optional<QString>& verificationURI() const { return m_verificationURI; }

    // Begins a flow; the outcome arrives in the published state. A flow already under
    // way is abandoned.
    void startDeviceFlow();

Q_SIGNALS:
    void isAuthenticatedChanged(bool isAuthenticated);
    void isAuthenticatingChanged(bool isAuthenticating);
    void authenticationErrorChanged();
    void debugInfoChanged(const QString& debugInfo);
    void stateChanged(GitHubOAuthService::State state);

private:
    void requestDeviceCode();
    void handleDeviceCodeResponse(const HttpExchange::Outcome& outcome);
    void handleDeviceCodeJson(const QJsonObject& json);
    void startPolling();
    void pollForToken();
    void handlePollResponse(const HttpExchange::Outcome& outcome);
    void handlePoll(const DeviceFlowReplies::PollReply& poll);
    void handleSuccessfulAuthentication(const QString& token);
    void stopPolling();

    // Ends the flow after a failed device-code request; the second form has logged already.
    void failDeviceCodeRequest(const QString& logMessage, const OAuthError& error, const QString& debugInfo);
    void endFlow(const OAuthError& error, const QString& debugInfo);
    // Ends polling with GitHub's verdict on the code.
    void failPolling(const QString& line, const OAuthError& error);

    // Sends a form POST; `handler` runs only while the service exists.
    HttpCall post(const QUrl& url, const QByteArray& body, std::function<void(const HttpExchange::Outcome&)> handler);
    void log(const QString& message, LogLevel level);

    void enter(State state);
    void setAuthenticated(bool authenticated);
    void setAuthenticationError(std::optional<AuthenticationError> error);
    void setDebugInfo(const QString& debugInfo);

    Scheduler& m_scheduler;
    Console& m_console;
    DebugLogger& m_logger;
    HttpTransport& m_http;
    const QString m_clientId;
    const QUrl m_deviceCodeUrl;
    const QUrl m_tokenUrl;
    SecureStorage m_secureStorage;

    State m_state = State::Idle;
    bool m_isAuthenticated = false;
    std::optional<AuthenticationError> m_authenticationError;
    QString m_debugInfo;

    std::optional<QString> m_deviceCode;
    std::optional<QString> m_userCode;
    std::optional<QString> m_verificationURI;
    std::chrono::seconds m_interval = defaultInterval;

    HttpCall m_deviceCodeCall;
    TimerHandle m_pollTimer;
    // The poll sent and not yet answered; a tick meanwhile sends nothing.
    std::optional<HttpCall> m_pollCall;
};

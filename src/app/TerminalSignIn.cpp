#include "TerminalSignIn.h"

#include "core/Console.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QUrl>

namespace {

// Opens `address` in the desktop's browser, when there is a desktop. The user has the
// address on screen anyway, so a failure to start the browser is not reported.
void openInBrowser(const QString& address)
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (environment.value(QStringLiteral("DISPLAY")).isEmpty()
        && environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
        return;
    // The address comes from the server: hand only web addresses to the desktop's opener.
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        return;
    QProcess opener;
    opener.setProgram(QStringLiteral("xdg-open"));
    opener.setArguments({url.toString(QUrl::FullyEncoded)});
    opener.setStandardOutputFile(QProcess::nullDevice());
    opener.setStandardErrorFile(QProcess::nullDevice());
    opener.startDetached();
}

} // namespace

TerminalSignIn::TerminalSignIn(const Environment& environment, Console& console, Console& errors, QObject* parent)
    : QObject(parent)
    , m_console(console)
    , m_errors(errors)
    , m_service(std::make_unique<GitHubOAuthService>(environment))
{
    // Queued: the service finishes its step (and its console lines) before we react.
    connect(m_service.get(), &GitHubOAuthService::stateChanged, this, &TerminalSignIn::onStateChanged,
        Qt::QueuedConnection);
}

TerminalSignIn::~TerminalSignIn() = default;

void TerminalSignIn::start()
{
    if (m_service->isAuthenticated())
        m_console.print(QStringLiteral("A GitHub token is already stored; signing in again replaces it."));
    m_service->startDeviceFlow();
}

void TerminalSignIn::cancel(int signalNumber)
{
    if (m_finished)
        return;
    m_service.reset();
    m_errors.print(QStringLiteral("Sign-in cancelled; no token was stored."));
    finish(128 + signalNumber);
}

void TerminalSignIn::onStateChanged(GitHubOAuthService::State state)
{
    if (m_finished)
        return;
    switch (state) {
    case GitHubOAuthService::State::Polling:
        showCode();
        break;
    case GitHubOAuthService::State::Succeeded:
        m_console.print(QStringLiteral("Signed in to GitHub; the token is stored."));
        finish(0);
        break;
    case GitHubOAuthService::State::Failed:
        reportFailure();
        finish(1);
        break;
    case GitHubOAuthService::State::Idle:
    case GitHubOAuthService::State::RequestingCode:
        break;
    }
}

void TerminalSignIn::showCode()
{
    const QString address = m_service->verificationURI().value_or(QString());
    m_console.print(QStringLiteral("To sign in, open ") + address + QStringLiteral(" and enter the code ")
        + m_service->userCode().value_or(QString()));
    m_console.print(QStringLiteral("Waiting for GitHub... (Ctrl-C cancels)"));
    openInBrowser(address);
}

void TerminalSignIn::reportFailure()
{
    const std::optional<AuthenticationError>& error = m_service->authenticationError();
    m_errors.print(
        QStringLiteral("Sign-in failed: ") + (error ? error->localizedDescription() : QStringLiteral("unknown error")));
    if (error && error->configurationError() == TempOAuthError::InvalidClientID)
        m_errors.print(QStringLiteral("Set TIDEWHELK_CLIENT_ID to the client ID of a GitHub OAuth app with device "
                                      "flow enabled (see README.md)."));
}

void TerminalSignIn::finish(int exitCode)
{
    m_finished = true;
    Q_EMIT finished(exitCode);
}

#include "AddAccountCommand.h"

#include "AppEnvironment.h"
#include "core/Console.h"
#include "github/GitHubAPIService.h"
#include "github/TokenProvider.h"
#include "storage/SecureStorage.h"

namespace {

// The token being checked, before it is stored anywhere.
class GivenToken final : public TokenProvider
{
public:
    explicit GivenToken(QString token)
        : m_token(std::move(token))
    { }
    std::optional<QString> token() override { return m_token; }
    void forgetCachedToken() override { }

private:
    QString m_token;
};

} // namespace

AddAccountCommand::AddAccountCommand(
    AppEnvironment& services, Console& errors, ServerAddress server, QString token, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_errors(errors)
    , m_server(std::move(server))
    , m_token(std::move(token))
{ }

AddAccountCommand::~AddAccountCommand() = default;

void AddAccountCommand::start()
{
    const Account first = m_services.accounts().first();
    if (first.login.isEmpty() && first.endpoints.isSameServer(m_server.endpoints()))
        learnFirstLogin();
    else
        lookUpToken();
}

void AddAccountCommand::learnFirstLogin()
{
    // Without a token, or with one the server refuses, the first account is free to take.
    m_firstApi = std::make_unique<GitHubAPIService>(m_services.environment());
    m_firstLookup = m_firstApi->fetchAuthenticatedUser().subscribe(
        [this](const User& user) {
            m_services.accounts().add(user.login, m_services.environment().endpoints);
            lookUpToken();
        },
        [this](const RequestError&) { lookUpToken(); });
}

void AddAccountCommand::lookUpToken()
{
    // The request goes through the first account's transport, whose cache keeps replies
    // per credential; the token only ever goes to the server's own API base.
    ClientEnvironment client = m_services.environment();
    client.endpoints = m_server.endpoints();
    client.makeTokenProvider = [token = m_token] { return std::make_unique<GivenToken>(token); };
    m_api = std::make_unique<GitHubAPIService>(client);
    m_lookup = m_api->fetchAuthenticatedUser().subscribe(
        [this](const User& user) {
            const Account account = m_services.accounts().add(user.login, m_server.endpoints());
            SecureStorage(m_services.environmentOf(account)).saveToken(m_token);
            m_services.environmentOf(account).preferences->flush();
            m_services.environment().preferences->flush();
            m_services.console().print(
                QStringLiteral("The token of ") + account.name() + QStringLiteral(" is stored."));
            finish(0);
        },
        [this](const RequestError& error) {
            const QString host = m_server.host();
            if (error.isUnauthorized())
                m_errors.print(host + QStringLiteral(" refused the token (401); no account was added."));
            else if (error.transportError())
                m_errors.print(host + QStringLiteral(" did not answer (") + error.localizedDescription()
                    + QStringLiteral("); no account was added."));
            else
                m_errors.print(QStringLiteral("No account read from ") + host + QStringLiteral(" (")
                    + error.localizedDescription() + QStringLiteral("); no account was added."));
            finish(1);
        });
}

void AddAccountCommand::cancel(int signalNumber)
{
    if (m_finished)
        return;
    m_firstLookup.cancel();
    m_lookup.cancel();
    m_errors.print(QStringLiteral("Cancelled; no account was added."));
    finish(128 + signalNumber);
}

void AddAccountCommand::finish(int exitCode)
{
    m_finished = true;
    Q_EMIT finished(exitCode);
}

#include "ServerSignIn.h"

#include "AddAccountCommand.h"
#include "AppEnvironment.h"
#include "TerminalSignIn.h"

ServerSignIn::ServerSignIn(AppEnvironment& services, Console& errors, ServerAddress server, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_errors(errors)
    , m_server(std::move(server))
    , m_staging(services, m_server)
{
    m_signIn = std::make_unique<TerminalSignIn>(m_staging.environment(), *m_staging.environment().console, m_errors);
    connect(m_signIn.get(), &TerminalSignIn::finished, this, &ServerSignIn::signedIn);
}

ServerSignIn::~ServerSignIn() = default;

void ServerSignIn::start()
{
    m_signIn->start();
}

void ServerSignIn::cancel(int signalNumber)
{
    if (m_add)
        m_add->cancel(signalNumber);
    else
        m_signIn->cancel(signalNumber);
}

void ServerSignIn::signedIn(int exitCode)
{
    const std::optional<QString> token = exitCode == 0 ? m_staging.token() : std::nullopt;
    if (!token) {
        Q_EMIT finished(exitCode);
        return;
    }
    m_add = std::make_unique<AddAccountCommand>(m_services, m_errors, m_server, *token);
    connect(m_add.get(), &AddAccountCommand::finished, this, &ServerSignIn::finished);
    m_add->start();
}

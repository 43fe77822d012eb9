#include "AddAccountCommand.h"

#include "AppEnvironment.h"
#include "core/Console.h"

AddAccountCommand::AddAccountCommand(
    AppEnvironment& services, Console& errors, ServerAddress server, QString token, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_errors(errors)
    , m_enrolment(services, std::move(server), std::move(token))
{
    connect(&m_enrolment, &AccountEnrolment::added, this, &AddAccountCommand::reportAdded);
    connect(&m_enrolment, &AccountEnrolment::failed, this, &AddAccountCommand::reportFailure);
}

AddAccountCommand::~AddAccountCommand() = default;

void AddAccountCommand::start()
{
    m_enrolment.start();
}

void AddAccountCommand::reportAdded(const Account& account)
{
    m_services.console().print(QStringLiteral("The token of ") + account.name() + QStringLiteral(" is stored."));
    finish(0);
}

void AddAccountCommand::reportFailure(AccountEnrolment::Failure failure, const QString& detail)
{
    const QString host = m_enrolment.server().host();
    switch (failure) {
    case AccountEnrolment::Failure::Refused:
        m_errors.print(host + QStringLiteral(" refused the token (401); no account was added."));
        break;
    case AccountEnrolment::Failure::NoAnswer:
        m_errors.print(
            host + QStringLiteral(" did not answer (") + detail + QStringLiteral("); no account was added."));
        break;
    case AccountEnrolment::Failure::Other:
        m_errors.print(QStringLiteral("No account read from ") + host + QStringLiteral(" (") + detail
            + QStringLiteral("); no account was added."));
        break;
    }
    finish(1);
}

void AddAccountCommand::cancel(int signalNumber)
{
    if (m_finished)
        return;
    m_enrolment.cancel();
    m_errors.print(QStringLiteral("Cancelled; no account was added."));
    finish(128 + signalNumber);
}

void AddAccountCommand::finish(int exitCode)
{
    m_finished = true;
    Q_EMIT finished(exitCode);
}

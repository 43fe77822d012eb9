#pragma once

#include "desktop/AccountEnrolment.h"
#include "github/ServerAddress.h"

#include <QObject>
#include <QString>

class AppEnvironment;
class Console;

// `tidewhelk --set-token --server HOST`: AccountEnrolment of the token, its outcome on
// the console. Exit codes: 0 when stored, 1 when the server refused the token, did not
// answer or answered something else; nothing is stored then.
class AddAccountCommand : public QObject
{
    Q_OBJECT

public:
    // The outcome goes to the console of `services`, failures to `errors`.
    AddAccountCommand(
        AppEnvironment& services, Console& errors, ServerAddress server, QString token, QObject* parent = nullptr);
    ~AddAccountCommand() override;

    void start();
    void cancel(int signalNumber);

Q_SIGNALS:
    void finished(int exitCode);

private:
    void reportAdded(const Account& account);
    void reportFailure(AccountEnrolment::Failure failure, const QString& detail);
    void finish(int exitCode);

    AppEnvironment& m_services;
    Console& m_errors;
    AccountEnrolment m_enrolment;
    bool m_finished = false;
};

#pragma once

#include "assignments/AddAssignmentOutcome.h"
#include "storage/Environment.h"

#include <QObject>
#include <QString>

#include <memory>

class AssignmentsViewModel;
class Console;

// `tidewhelk --headless --add-assignment URL`: adds one issue or pull request by its web
// address as the "Add Assignment" button does, once the assignments controller's own
// start-up sync has ended, and prints the toast on standard output. Exit codes: 0 when
// the item was added, 2 when a valid token is missing (none stored, or refused), 1
// otherwise (an address that is not on the configured GitHub, an item already listed, a
// failed request).
class AddAssignmentCommand : public QObject
{
    Q_OBJECT

public:
    // The toast goes to the environment's console, the sign-in hint to `errors`.
    AddAssignmentCommand(const Environment& environment, Console& errors, QString url, QObject* parent = nullptr);
    ~AddAssignmentCommand() override;

    void start();
    void cancel(int signalNumber);

    // 0 added, 2 sign in first, 1 anything else.
    static int exitCode(AddAssignmentOutcome outcome);
    // What the command says on standard error when it needs a token.
    static QString signInHint();

Q_SIGNALS:
    void finished(int exitCode);

private:
    void report(const QString& urlText, AddAssignmentOutcome outcome);
    void requireSignIn();
    void finish(int exitCode);

    Environment m_environment;
    Console& m_errors;
    QString m_url;
    std::shared_ptr<AssignmentsViewModel> m_assignments;
    bool m_added = false;
    bool m_finished = false;
};

#include "AddAssignmentCommand.h"

#include "assignments/AssignmentsViewModel.h"
#include "core/Console.h"
#include "storage/PreferenceStore.h"

AddAssignmentCommand::AddAssignmentCommand(
    const Environment& environment, Console& errors, QString url, QObject* parent)
    : QObject(parent)
    , m_environment(environment)
    , m_errors(errors)
    , m_url(std::move(url))
{ }

AddAssignmentCommand::~AddAssignmentCommand() = default;

void AddAssignmentCommand::start()
{
    m_assignments = AssignmentsViewModel::create(m_environment);
    AssignmentsViewModel* assignments = m_assignments.get();
    connect(assignments, &AssignmentsViewModel::needsTokenChanged, this, [this, assignments] {
        if (assignments->needsToken())
            requireSignIn();
    });
    // After the start-up sync, so that an item it brings counts as already listed.
    connect(assignments, &AssignmentsViewModel::syncFinished, this, [this, assignments] {
        if (!m_finished && !std::exchange(m_added, true))
            assignments->addAssignment(m_url);
    });
    connect(assignments, &AssignmentsViewModel::addAssignmentFinished, this, &AddAssignmentCommand::report);
}

int AddAssignmentCommand::exitCode(AddAssignmentOutcome outcome)
{
    switch (outcome) {
    case AddAssignmentOutcome::Added:
        return 0;
    case AddAssignmentOutcome::NeedsSignIn:
        return 2;
    case AddAssignmentOutcome::AlreadyListed:
    case AddAssignmentOutcome::InvalidURL:
    case AddAssignmentOutcome::Failed:
        break;
    }
    return 1;
}

QString AddAssignmentCommand::signInHint()
{
    return QStringLiteral("Sign in first: tidewhelk --sign-in, or tidewhelk --set-token.");
}

void AddAssignmentCommand::report(const QString& urlText, AddAssignmentOutcome outcome)
{
    if (urlText != m_url)
        return;
    if (outcome == AddAssignmentOutcome::NeedsSignIn) {
        requireSignIn();
        return;
    }
    m_environment.console->print(m_assignments->toastMessage());
    finish(exitCode(outcome));
}

void AddAssignmentCommand::requireSignIn()
{
    if (m_finished)
        return;
    m_errors.print(signInHint());
    finish(2);
}

void AddAssignmentCommand::cancel(int signalNumber)
{
    finish(128 + signalNumber);
}

void AddAssignmentCommand::finish(int exitCode)
{
    if (std::exchange(m_finished, true))
        return;
    m_assignments->flushPendingSaves();
    m_environment.preferences->flush();
    Q_EMIT finished(exitCode);
}

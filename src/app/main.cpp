#include "AddAssignmentCommand.h"
#include "AppEnvironment.h"
#include "HeadlessSession.h"
#include "StderrConsole.h"
#include "TerminalSignIn.h"
#include "TokenCommands.h"
#include "UnixSignalWatcher.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>

namespace {

const char* const description = R"(Keeps your GitHub notification threads and assigned issues up to date.

Environment:
  TIDEWHELK_API_URL    GitHub REST API base (default https://api.github.com;
                       e.g. https://ghe.example.com/api/v3 for GitHub Enterprise)
  TIDEWHELK_WEB_URL    GitHub web base (default https://github.com)
  TIDEWHELK_CLIENT_ID  client id of a GitHub OAuth app with device flow enabled
                       (for --sign-in; a pasted personal access token needs none))";

// Runs a command-line mode until it reports its exit code: `start()` begins it,
// `finished(int)` ends the event loop, and Ctrl-C or SIGTERM reach its `cancel(int)`.
template <typename Command>
int runUntilFinished(Command& command)
{
    UnixSignalWatcher interruptions({SIGINT, SIGTERM});
    QObject::connect(&interruptions, &UnixSignalWatcher::signalReceived, &command, &Command::cancel);
    QObject::connect(&command, &Command::finished, &command, [](int exitCode) { QCoreApplication::exit(exitCode); });
    command.start();
    return QCoreApplication::exec();
}

int signIn(const Environment& environment)
{
    StderrConsole errors;
    TerminalSignIn command(environment, *environment.console, errors);
    return runUntilFinished(command);
}

int runHeadless(const Environment& environment, bool once)
{
    HeadlessSession session(environment, once);
    return runUntilFinished(session);
}

int addAssignment(const Environment& environment, const QString& url)
{
    StderrConsole errors;
    AddAssignmentCommand command(environment, errors, url);
    return runUntilFinished(command);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tidewhelk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TIDEWHELK_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(description));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption headlessOption(QStringLiteral("headless"),
        QStringLiteral("Run the feeds without a window, printing their progress. Keeps running (with the stored "
                       "auto-reload switches) until interrupted."));
    const QCommandLineOption onceOption(QStringLiteral("once"),
        QStringLiteral("With --headless: sync each feed once, refresh its statuses, then exit: 0 when every sync "
                       "and status request succeeded, 2 when a valid token is missing, 1 otherwise. A status "
                       "request for a subject GitHub reports gone (404, 410) or a thread without a subject address "
                       "is not a failure; a time-out is. While GitHub's rate limit is nearly used up, status "
                       "requests wait for its reset."));
    const QCommandLineOption addAssignmentOption(QStringLiteral("add-assignment"),
        QStringLiteral("With --headless: add the issue or pull request at this web address to the assignments, "
                       "print the outcome, then exit: 0 when added, 2 when a valid token is missing, 1 otherwise "
                       "(not an address on the configured GitHub, already listed, or the request failed)."),
        QStringLiteral("URL"));
    const QCommandLineOption signInOption(QStringLiteral("sign-in"),
        QStringLiteral("Sign in to GitHub in the terminal (OAuth device flow) and store the token."));
    const QCommandLineOption setTokenOption(QStringLiteral("set-token"),
        QStringLiteral("Read a GitHub token (e.g. a personal access token) from standard input and store it."));
    const QCommandLineOption signOutOption(QStringLiteral("sign-out"), QStringLiteral("Remove the stored token."));
    parser.addOptions({headlessOption, onceOption, addAssignmentOption, signInOption, setTokenOption, signOutOption});
    parser.process(app);

    AppEnvironment services;
    const Environment& environment = services.environment();
    if (parser.isSet(signInOption))
        return signIn(environment);
    if (parser.isSet(setTokenOption)) {
        StderrConsole errors;
        return setTokenFromStandardInput(environment, errors);
    }
    if (parser.isSet(signOutOption))
        return signOut(environment);
    if (parser.isSet(addAssignmentOption))
        return addAssignment(environment, parser.value(addAssignmentOption));
    if (!parser.isSet(headlessOption) && !parser.isSet(onceOption)) {
        StderrConsole().print(
            QStringLiteral("The window is not part of this build yet; running headless (see --help)."));
    }
    return runHeadless(environment, parser.isSet(onceOption));
}

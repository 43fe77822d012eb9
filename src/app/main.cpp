#include "AppEnvironment.h"
#include "StderrConsole.h"
#include "TerminalSignIn.h"
#include "UnixSignalWatcher.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <csignal>

namespace {

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

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tidewhelk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TIDEWHELK_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Keeps your GitHub notification threads and assigned issues up to date."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption signInOption(QStringLiteral("sign-in"),
        QStringLiteral("Sign in to GitHub in the terminal (OAuth device flow) and store the token."));
    parser.addOption(signInOption);
    parser.process(app);

    AppEnvironment services;
    if (parser.isSet(signInOption))
        return signIn(services.environment());

    QTextStream(stdout) << QCoreApplication::applicationName() << u' ' << QCoreApplication::applicationVersion()
                        << Qt::endl;
    return 0;
}

#include "AddAccountCommand.h"
#include "AddAssignmentCommand.h"
#include "AppEnvironment.h"
#include "DemoSession.h"
#include "HandOverHandler.h"
#include "HeadlessSession.h"
#include "InstanceChannel.h"
#include "ProfileLock.h"
#include "ServerSignIn.h"
#include "StderrConsole.h"
#include "TerminalSignIn.h"
#include "TidewhelkApp.h"
#include "TokenCommands.h"
#include "UnixSignalWatcher.h"
#include "storage/PreferenceStore.h"
#include "views/Translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMessageBox>
#include <QMetaObject>

#include <csignal>
#include <cstring>

namespace {

const char* const description = R"(Keeps your GitHub notification threads and assigned issues up to date.

Without options, opens the window (one per session: a second launch brings the first
to the front and hands it its URL argument). The other modes run without a window.

Environment:
  TIDEWHELK_API_URL    GitHub REST API base (default https://api.github.com;
                       e.g. https://ghe.example.com/api/v3 for GitHub Enterprise)
  TIDEWHELK_WEB_URL    GitHub web base (default https://github.com)
  TIDEWHELK_CLIENT_ID  client id of a GitHub OAuth app with device flow enabled
                       (for signing in with a code; a pasted personal access token
                       needs none))";

// Options of the modes that run without a window; any of them (or --help, --version)
// starts a plain QCoreApplication, which needs no display.
constexpr const char* kWindowlessOptions[] = {"--headless", "--once", "--add-assignment", "--sign-in", "--set-token",
    "--sign-out", "--accounts", "--help", "-h", "--help-all", "--version", "-v", "-?"};

bool runsWithoutWindow(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : kWindowlessOptions) {
            const size_t length = std::strlen(option);
            if (std::strncmp(argv[i], option, length) == 0 && (argv[i][length] == '\0' || argv[i][length] == '='))
                return true;
        }
    }
    return false;
}

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

struct Options
{
    QCommandLineOption headless {QStringLiteral("headless"),
        QStringLiteral("Run the feeds without a window, printing their progress. Keeps running (with the stored "
                       "auto-reload switches) until interrupted.")};
    QCommandLineOption once {QStringLiteral("once"),
        QStringLiteral("With --headless: sync each feed once, refresh its statuses, then exit: 0 when every sync "
                       "and status request succeeded, 2 when any account misses a valid token, 1 otherwise. A status "
                       "request for a subject GitHub reports gone (404, 410) or a thread without a subject address "
                       "is not a failure; a time-out is. While GitHub's rate limit is nearly used up, status "
                       "requests wait for its reset.")};
    QCommandLineOption addAssignment {QStringLiteral("add-assignment"),
        QStringLiteral("With --headless: add the issue or pull request at this web address to the assignments, "
                       "print the outcome, then exit: 0 when added, 2 when a valid token is missing, 1 otherwise "
                       "(not an address on the configured GitHub, already listed, or the request failed)."),
        QStringLiteral("URL")};
    QCommandLineOption signIn {QStringLiteral("sign-in"),
        QStringLiteral("Sign in to GitHub in the terminal (OAuth device flow) and store the token.")};
    QCommandLineOption setToken {QStringLiteral("set-token"),
        QStringLiteral("Read a GitHub token (e.g. a personal access token) from standard input and store it.")};
    QCommandLineOption signOut {QStringLiteral("sign-out"), QStringLiteral("Remove the stored token.")};
    QCommandLineOption accounts {QStringLiteral("accounts"),
        QStringLiteral("Print one line per account: login, host and whether a token is stored, separated by tabs.")};
    QCommandLineOption account {QStringLiteral("account"),
        QStringLiteral("The account --headless, --set-token, --sign-in, --sign-out and --add-assignment act on: "
                       "LOGIN@HOST, or just HOST or LOGIN when only one account has it (see --accounts). Without "
                       "it, they act on the first account; --add-assignment on the account whose server the address is "
                       "on; --headless on every account."),
        QStringLiteral("LOGIN@HOST")};
    QCommandLineOption server {QStringLiteral("server"),
        QStringLiteral("With --set-token or --sign-in: add the account the token belongs to on this GitHub server "
                       "(a host name such as github.example.com, or its address), as GitHub names it."),
        QStringLiteral("HOST")};
    QCommandLineOption hidden {QStringLiteral("hidden"),
        QStringLiteral("Start in the status area with the window hidden, as Start at Login does (the window shows "
                       "when the desktop has no status area).")};
    QCommandLineOption demo {QStringLiteral("demo"),
        QStringLiteral("Open the window on two built-in demo accounts served on 127.0.0.1 (the second as a GitHub "
                       "Enterprise Server serves): no GitHub account needed, and nothing of your own token or "
                       "settings is read or written.")};

    void addTo(QCommandLineParser& parser) const
    {
        parser.setApplicationDescription(QString::fromUtf8(description));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions(
            {headless, once, addAssignment, signIn, setToken, signOut, accounts, account, server, hidden, demo});
        parser.addPositionalArgument(QStringLiteral("url"),
            QStringLiteral("A tidewhelk:// link for the window (the desktop passes it when such a link is opened)."),
            QStringLiteral("[url]"));
    }
};

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tidewhelk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TIDEWHELK_VERSION));
}

// A running window adds an item by itself; it may take a minute on a slow network.
constexpr int kAddAssignmentHandOverTimeoutMs = 90000;

// Why a launch cannot run beside the process holding the profile.
QString profileInUseReason(const ProfileLock& lock)
{
    return lock.holder() + QStringLiteral(" keeps ") + lock.directory()
        + QStringLiteral(" up to date; only one window or --headless run can do that at a time. Quit it first, "
                         "or let it finish.");
}

const char* const kProfileInUse = "Tidewhelk is already running on this profile";

QString profileInUseMessage(const ProfileLock& lock)
{
    return QStringLiteral("tidewhelk: ") + QString::fromUtf8(kProfileInUse) + QStringLiteral(": ")
        + profileInUseReason(lock);
}

// `--add-assignment` while another process holds the profile: a running window adds the
// item itself; anything else (a --headless run) means stopping.
int handAddAssignmentOver(const ProfileLock& lock, const QString& url, Console& console, Console& errors)
{
    const InstanceChannel channel(InstanceChannel::defaultSocketPath());
    const std::optional<InstanceChannel::Answer> answer
        = channel.request({InstanceChannel::Kind::AddAssignment, url}, kAddAssignmentHandOverTimeoutMs);
    if (!answer) {
        errors.print(profileInUseMessage(lock));
        return 1;
    }
    if (answer->exitCode == 2)
        errors.print(AddAssignmentCommand::signInHint());
    else
        console.print(answer->text);
    return answer->exitCode;
}

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

// The account --account names; without it, for --add-assignment the account whose server
// the address is on, or else the first. None, said on standard error, when --account
// names none or several.
std::optional<Account> selectedAccount(
    AppEnvironment& services, const QCommandLineParser& parser, const Options& options)
{
    if (!parser.isSet(options.account)) {
        if (parser.isSet(options.addAssignment)) {
            const QUrl address(parser.value(options.addAssignment).trimmed());
            for (const Account& account : services.accounts().accounts()) {
                if (account.endpoints.isUnderWebBase(address))
                    return account;
            }
        }
        return services.accounts().first();
    }
    const AccountBook::Selection selection = services.accounts().select(parser.value(options.account));
    if (!selection.account)
        StderrConsole().print(QStringLiteral("tidewhelk: ") + selection.problem);
    return selection.account;
}

// `--set-token --server HOST` and `--sign-in --server HOST`: the token's account on that
// server.
int addAccount(AppEnvironment& services, const QString& serverText, bool setToken, bool signIn)
{
    StderrConsole errors;
    if (setToken == signIn) {
        errors.print(QStringLiteral("tidewhelk: --server goes with either --set-token or --sign-in"));
        return 1;
    }
    const std::optional<ServerAddress> server = ServerAddress::parse(serverText);
    if (!server) {
        errors.print(QStringLiteral("tidewhelk: \"") + serverText
            + QStringLiteral("\" is not a GitHub server: give a host name such as github.example.com, or its "
                             "https:// address"));
        return 1;
    }
    if (signIn) {
        ServerSignIn command(services, errors, *server);
        return runUntilFinished(command);
    }
    const std::optional<QString> token = readTokenFromStandardInput(errors);
    if (!token)
        return 1;
    AddAccountCommand command(services, errors, *server, *token);
    return runUntilFinished(command);
}

int runWithoutWindow(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    nameApplication();
    QCommandLineParser parser;
    const Options options;
    options.addTo(parser);
    parser.process(app);

    AppEnvironment services;
    if (parser.isSet(options.accounts))
        return printAccounts(services, services.console());
    if (parser.isSet(options.server))
        return addAccount(
            services, parser.value(options.server), parser.isSet(options.setToken), parser.isSet(options.signIn));
    const std::optional<Account> account = selectedAccount(services, parser, options);
    if (!account)
        return 1;
    const Environment& environment = services.environmentOf(*account);
    if (parser.isSet(options.signIn)) {
        StderrConsole errors;
        TerminalSignIn command(environment, *environment.console, errors);
        return runUntilFinished(command);
    }
    if (parser.isSet(options.setToken)) {
        StderrConsole errors;
        return setTokenFromStandardInput(environment, errors);
    }
    if (parser.isSet(options.signOut))
        return signOut(environment);
    StderrConsole errors;
    ProfileLock lock(PreferenceStore::defaultFilePath());
    if (parser.isSet(options.addAssignment)) {
        const QString url = parser.value(options.addAssignment);
        // A running window adds it to the account whose server it is on.
        if (!lock.tryLock())
            return handAddAssignmentOver(lock, url, *environment.console, errors);
        AddAssignmentCommand command(environment, errors, url);
        return runUntilFinished(command);
    }
    if (!lock.tryLock()) {
        errors.print(profileInUseMessage(lock));
        return 1;
    }
    QList<Environment> environments {environment};
    if (!parser.isSet(options.account)) {
        for (const Account& further : services.accounts().accounts().mid(1))
            environments.append(services.environmentOf(further));
    }
    HeadlessSession session(environments, parser.isSet(options.once));
    return runUntilFinished(session);
}

// The window, on every account of `accounts`; `channel` (none in the demo) brings later launches' URLs.
int runApplication(QApplication& app, AppEnvironment& accounts, const DesktopSetup& desktop, InstanceChannel* channel,
    const std::optional<QString>& launchURL, bool hidden)
{
    TidewhelkApp tidewhelk(accounts.environment(), desktop, &accounts);
    QObject::connect(&tidewhelk, &TidewhelkApp::quitRequested, &app, &QCoreApplication::quit);
    std::optional<HandOverHandler> handOvers;
    if (channel)
        handOvers.emplace(*channel, tidewhelk);
    tidewhelk.start(hidden && !launchURL);
    if (launchURL) {
        QMetaObject::invokeMethod(
            &tidewhelk, [&tidewhelk, launchURL] { tidewhelk.urlEventHandler().handleURLEvent(launchURL); },
            Qt::QueuedConnection);
    }
    return QApplication::exec();
}

// A --headless run holds the profile: the window cannot start beside it. Said on standard
// error and, for a launch from the desktop menu, in a message box.
int reportProfileInUse(QApplication& app, const ProfileLock& lock)
{
    StderrConsole().print(profileInUseMessage(lock));
    QString reason = profileInUseReason(lock);
    reason[0] = reason[0].toUpper();
    QMessageBox box(
        QMessageBox::Critical, QStringLiteral("Tidewhelk"), QString::fromUtf8(kProfileInUse), QMessageBox::Ok);
    box.setInformativeText(reason);
    QObject::connect(&box, &QMessageBox::finished, &app, [] { QCoreApplication::exit(1); });
    box.show();
    QApplication::exec();
    return 1;
}

int runWindow(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const Translations translations {QLocale()};
    nameApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral(TIDEWHELK_APP_ID));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tidewhelk.svg")));
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QCommandLineParser parser;
    const Options options;
    options.addTo(parser);
    parser.process(app);
    const QStringList positional = parser.positionalArguments();
    const std::optional<QString> launchURL = positional.isEmpty() ? std::nullopt : std::optional(positional.first());

    if (parser.isSet(options.demo)) {
        DemoSession demo;
        QString error;
        if (!demo.start(&error)) {
            StderrConsole().print(QStringLiteral("tidewhelk: the demo cannot start: ") + error);
            return 1;
        }
        // The demo's "Start at Login" writes into its throwaway home.
        DesktopSetup desktop;
        desktop.autostartDirectory = demo.homePath() + QStringLiteral("/autostart");
        return runApplication(app, demo.services(), desktop, nullptr, launchURL, parser.isSet(options.hidden));
    }

    InstanceChannel channel(InstanceChannel::defaultSocketPath());
    if (channel.claim({InstanceChannel::Kind::Launch, launchURL}) == InstanceChannel::Role::HandedOver)
        return 0;
    ProfileLock lock(PreferenceStore::defaultFilePath());
    if (!lock.tryLock())
        return reportProfileInUse(app, lock);
    AppEnvironment services;
    return runApplication(app, services, {}, &channel, launchURL, parser.isSet(options.hidden));
}

} // namespace

int main(int argc, char* argv[])
{
    if (runsWithoutWindow(argc, argv))
        return runWithoutWindow(argc, argv);
    if (!hasDisplay()) {
        StderrConsole().print(QStringLiteral("tidewhelk: the window needs a graphical display (X11 or Wayland), and "
                                             "none was found. Run it from a desktop session, or use --headless to "
                                             "keep the feeds up to date without a window (see --help)."));
        return 1;
    }
    return runWindow(argc, argv);
}

// The fake GitHub as a program of its own: a scenario directory served for manual runs
// of the application against it.

#include "GitHubServer.h"
#include "ScenarioLoader.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fake-github"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A fake GitHub REST API and OAuth device flow on 127.0.0.1. Prints its base URL, then serves "
                       "until killed."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
        QStringLiteral("Port to listen on (default: any free)."), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption dataOption(
        QStringLiteral("data"), QStringLiteral("Scenario directory to serve."), QStringLiteral("DIR"));
    const QCommandLineOption tokenOption(
        QStringLiteral("token"), QStringLiteral("Token to accept."), QStringLiteral("T"));
    const QCommandLineOption latencyOption(QStringLiteral("latency"), QStringLiteral("Delay before every reply."),
        QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption maxAgeOption(QStringLiteral("max-age"),
        QStringLiteral("Cache-Control max-age of GET replies."), QStringLiteral("S"),
        QString::number(RestApi::defaultMaxAge));
    const QCommandLineOption rateLimitOption(QStringLiteral("rate-limit"),
        QStringLiteral("Requests per rate-limit window; a benchmark lifts GitHub's 5000."), QStringLiteral("N"),
        QString::number(RateLimit::defaultLimit));
    const QCommandLineOption rateWindowOption(QStringLiteral("rate-window"),
        QStringLiteral("Length of a rate-limit window."), QStringLiteral("S"),
        QString::number(RateLimit::defaultWindow.count()));
    const QCommandLineOption enterpriseOption(QStringLiteral("enterprise-version"),
        QStringLiteral("Answer as GitHub Enterprise Server of this version (X-GitHub-Enterprise-Version)."),
        QStringLiteral("V"));
    parser.addOptions({portOption, dataOption, tokenOption, latencyOption, maxAgeOption, rateLimitOption,
        rateWindowOption, enterpriseOption});
    parser.process(app);

    QTextStream err(stderr);
    bool portOk = false;
    bool latencyOk = false;
    bool maxAgeOk = false;
    bool rateLimitOk = false;
    bool rateWindowOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    const int latency = parser.value(latencyOption).toInt(&latencyOk);
    const int maxAge = parser.value(maxAgeOption).toInt(&maxAgeOk);
    const int rateLimit = parser.value(rateLimitOption).toInt(&rateLimitOk);
    const int rateWindow = parser.value(rateWindowOption).toInt(&rateWindowOk);
    if (!portOk || port > 65535 || !latencyOk || latency < 0 || !maxAgeOk || maxAge < 0 || !rateLimitOk || rateLimit < 0
        || !rateWindowOk || rateWindow < 1) {
        err << "fake-github: --port, --latency, --max-age, --rate-limit and --rate-window take non-negative "
               "numbers (a window at least one second)\n";
        return 2;
    }

    GitHubServer server;
    if (!server.listen(static_cast<quint16>(port))) {
        err << "fake-github: cannot listen on 127.0.0.1:" << port << '\n';
        return 1;
    }
    server.setLatency(std::chrono::milliseconds(latency));
    server.setMaxAge(maxAge);
    server.setRateLimitWindow(std::chrono::seconds(rateWindow));
    server.setRateLimit(rateLimit, rateLimit);
    server.setEnterpriseVersion(parser.value(enterpriseOption));

    QString token = parser.value(tokenOption);
    QString login;
    if (parser.isSet(dataOption)) {
        QString error;
        if (!ScenarioLoader::load(parser.value(dataOption), server, &error)) {
            err << "fake-github: " << error << '\n';
            return 1;
        }
        if (token.isEmpty())
            token = ScenarioLoader::token(parser.value(dataOption));
        login = ScenarioLoader::login(parser.value(dataOption));
    }
    if (token.isEmpty())
        token = QStringLiteral("fake-github-token");
    server.setToken(token);
    // GET /user names the scenario's account, as the app asks when a token is stored.
    if (!login.isEmpty())
        server.addToken(token, login);

    // A sign-in against the demo succeeds on the second poll.
    server.queueTokenReply(OAuthReply::pending());
    server.queueTokenReply(OAuthReply::success(token));

    QTextStream(stdout) << server.url().toString() << Qt::endl;
    err << "fake-github: accepting token " << token << "; a device-flow sign-in succeeds on its second poll"
        << Qt::endl;
    return QCoreApplication::exec();
}

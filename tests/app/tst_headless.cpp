#include "FakeGitHub.h"
#include "SessionToken.h"
#include "TestHome.h"
#include "Wait.h"
#include "github/Notification.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QProcess>
#include <QTest>

#include <memory>

namespace {

const QString kToken = QStringLiteral("ghp_headless");
const QString kRepository = QStringLiteral("octocat/Hello-World");
const QString kSha = QStringLiteral("6dcb09b5b57875f334f61aebed695e2e4193db5e");
constexpr int kTimeoutMs = 30000;

} // namespace

// Runs `tidewhelk --headless --once` as a user or a script would, against the fake GitHub.
class TestHeadless : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void syncsRefreshesStoresAndExitsZero();
    void exitCode_data();
    void exitCode();

private:
    void addPullRequestThread();
    // Runs the command to its end and returns its standard output lines.
    QStringList run(const QStringList& arguments);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<FakeGitHub> m_server;
    std::unique_ptr<QProcess> m_process;
};

void TestHeadless::init()
{
    if (!SessionToken::inKeyringTestSession())
        QSKIP("Writes the token item of the keyring: run it through scripts/with-test-session");
    m_home = std::make_unique<TestHome>();
    m_server = std::make_unique<FakeGitHub>();
    QVERIFY(m_server->listen());
    m_server->setToken(kToken);
    SessionToken::remove();
}

void TestHeadless::cleanup()
{
    if (!m_server)
        return;
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished();
    }
    m_process.reset();
    SessionToken::remove();
    m_server.reset();
    m_home.reset();
}

void TestHeadless::addPullRequestThread()
{
    const GitHubPayloads payloads = m_server->payloads();
    m_server->addNotification(payloads.thread({.id = QStringLiteral("1"),
        .repository = kRepository,
        .type = QStringLiteral("PullRequest"),
        .number = 7,
        .title = QStringLiteral("Teach the parser"),
        .updatedAt = QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}));
    const QString pulls = QStringLiteral("/repos/") + kRepository + QStringLiteral("/pulls/7");
    m_server->setResource(pulls, payloads.pullRequest({.repository = kRepository, .number = 7, .headSha = kSha}));
    m_server->setResource(pulls + QStringLiteral("/reviews"),
        QJsonArray {payloads.review(
            {.repository = kRepository, .pullNumber = 7, .state = QStringLiteral("CHANGES_REQUESTED")})});
    m_server->setResource(QStringLiteral("/repos/") + kRepository + QStringLiteral("/statuses/") + kSha,
        QJsonArray {payloads.status({.repository = kRepository, .sha = kSha, .state = QStringLiteral("pending")})});
}

QStringList TestHeadless::run(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TIDEWHELK_API_URL"), m_server->apiBaseUrl().toString());
    environment.insert(QStringLiteral("TIDEWHELK_WEB_URL"), m_server->webBaseUrl().toString());
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(environment);
    m_process->start(QStringLiteral(TIDEWHELK_EXECUTABLE), arguments);
    // The fake server answers on this thread: wait on the event loop, never block it.
    if (!waitUntil([&] { return m_process->state() == QProcess::NotRunning; }, kTimeoutMs))
        return {};
    return QString::fromUtf8(m_process->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

void TestHeadless::syncsRefreshesStoresAndExitsZero()
{
    addPullRequestThread();
    SessionToken::store(kToken);

    const QStringList lines = run({QStringLiteral("--headless"), QStringLiteral("--once")});
    QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_process->exitCode(), 0);
    QVERIFY(lines.contains(QStringLiteral("Loaded 0 notifications from cache.")));
    QVERIFY(lines.contains(QStringLiteral("Processed 1 new notifications")));
    QVERIFY(lines.contains(QStringLiteral(">>> Refreshing pull request statuses...")));
    // The CI and review requests may answer after the refresh closed: the run waits for them.
    QVERIFY2(lines.contains(QStringLiteral("Updated PR details for Teach the parser: CI=pending, "
                                           "Review=changes_requested")),
        qPrintable(lines.join(u'\n')));
    QVERIFY(!lines.join(u'\n').contains(kToken));

    // What the run learnt is in the preference file for the next start.
    PreferenceStore preferences;
    const auto cache = Notification::decodeList(*preferences.data(PreferenceKeys::notificationsCacheKey));
    const auto* notifications = std::get_if<QList<NotificationPtr>>(&cache);
    QVERIFY(notifications);
    QCOMPARE(notifications->size(), 1);
    const Subject& subject = notifications->first()->subject();
    QCOMPARE(subject.state(), QStringLiteral("open"));
    QCOMPARE(subject.ciStatus(), QStringLiteral("pending"));
    QCOMPARE(subject.reviewStatus(), QStringLiteral("changes_requested"));
    QVERIFY(preferences.date(PreferenceKeys::lastPullDate));
}

void TestHeadless::exitCode_data()
{
    QTest::addColumn<QString>("storedToken");
    QTest::addColumn<bool>("serverFails");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("line");
    QTest::newRow("no token: sign in") << QString() << false << 2 << QStringLiteral("   API Error: noToken");
    QTest::newRow("revoked token: sign in")
        << QStringLiteral("ghp_revoked") << false << 2
        << QStringLiteral("   API Error: httpError(statusCode: 401, message: \"HTTP 401\")");
    QTest::newRow("server error") << kToken << true << 1
                                  << QStringLiteral("   API Error: httpError(statusCode: 502, message: \"HTTP 502\")");
}

void TestHeadless::exitCode()
{
    QFETCH(QString, storedToken);
    QFETCH(bool, serverFails);
    QFETCH(int, exitCode);
    QFETCH(QString, line);
    if (!storedToken.isEmpty())
        SessionToken::store(storedToken);
    if (serverFails)
        m_server->injectFault(FaultTarget::path(QStringLiteral("/notifications")),
            Fault::reply(502, QByteArrayLiteral("{\"message\":\"Server Error\"}")), FakeGitHub::always);

    const QStringList lines = run({QStringLiteral("--headless"), QStringLiteral("--once")});
    QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_process->exitCode(), exitCode);
    QVERIFY2(lines.contains(line), qPrintable(lines.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestHeadless)
#include "tst_headless.moc"

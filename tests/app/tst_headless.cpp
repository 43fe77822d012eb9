#include "FakeGitHub.h"
#include "SessionToken.h"
#include "TestHome.h"
#include "Wait.h"
#include "github/Issue.h"
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
    void addAssignment_data();
    void addAssignment();

private:
    void addPullRequestThread();
    void addMergedAssignment();
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

void TestHeadless::addMergedAssignment()
{
    const GitHubPayloads payloads = m_server->payloads();
    m_server->addAssignedIssue(payloads.issue({.id = 9,
        .repository = kRepository,
        .number = 9,
        .title = QStringLiteral("Ship the reader"),
        .pullRequest = true,
        .updatedAt = QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}));
    m_server->setResource(QStringLiteral("/repos/") + kRepository + QStringLiteral("/pulls/9"),
        payloads.pullRequest({.id = 9, .repository = kRepository, .number = 9, .merged = true}));
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
    addMergedAssignment();
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
    QVERIFY(lines.contains(QStringLiteral("Loaded 0 issues from cache.")));
    QVERIFY(lines.contains(QStringLiteral("Processed 1 new assignments")));
    QVERIFY(lines.contains(QStringLiteral("Updated PR status: Ship the reader - merged")));
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
    const auto issues = Issue::decodeList(*preferences.data(PreferenceKeys::issuesCacheKey));
    const auto* assignments = std::get_if<QList<IssuePtr>>(&issues);
    QVERIFY(assignments);
    QCOMPARE(assignments->size(), 1);
    QCOMPARE(assignments->first()->displayState(), QStringLiteral("merged"));
    QVERIFY(preferences.date(PreferenceKeys::lastPullDateAssignments));
}

void TestHeadless::exitCode_data()
{
    QTest::addColumn<QString>("storedToken");
    QTest::addColumn<QString>("failingPath"); // empty: none
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("line");
    QTest::newRow("no token: sign in") << QString() << QString() << 2 << QStringLiteral("   API Error: noToken");
    QTest::newRow("revoked token: sign in")
        << QStringLiteral("ghp_revoked") << QString() << 2
        << QStringLiteral("   API Error: httpError(statusCode: 401, message: \"HTTP 401\")");
    QTest::newRow("notifications server error")
        << kToken << QStringLiteral("/notifications") << 1
        << QStringLiteral("   API Error: httpError(statusCode: 502, message: \"HTTP 502\")");
    QTest::newRow("assignments server error")
        << kToken << QStringLiteral("/issues") << 1
        << QStringLiteral("Error fetching assignments: The data from GitHub could not be read: Expected to decode "
                          "Array but found an object instead. (at [])");
}

void TestHeadless::exitCode()
{
    QFETCH(QString, storedToken);
    QFETCH(QString, failingPath);
    QFETCH(int, exitCode);
    QFETCH(QString, line);
    if (!storedToken.isEmpty())
        SessionToken::store(storedToken);
    if (!failingPath.isEmpty())
        m_server->injectFault(FaultTarget::path(failingPath),
            Fault::reply(502, QByteArrayLiteral("{\"message\":\"Server Error\"}")), FakeGitHub::always);

    const QStringList lines = run({QStringLiteral("--headless"), QStringLiteral("--once")});
    QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_process->exitCode(), exitCode);
    QVERIFY2(lines.contains(line), qPrintable(lines.join(u'\n')));
}

void TestHeadless::addAssignment_data()
{
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<QString>("path"); // under the fake GitHub's web base, or a whole address
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("line"); // on standard output; empty: the sign-in hint on standard error

    QTest::newRow("added") << true << QStringLiteral("/octocat/Hello-World/pull/9") << 0
                           << QStringLiteral("Assignment added successfully");
    QTest::newRow("foreign host") << true << QStringLiteral("https://example.org/octocat/Hello-World/pull/9") << 1
                                  << QStringLiteral("Invalid URL");
    QTest::newRow("no token: sign in") << false << QStringLiteral("/octocat/Hello-World/pull/9") << 2 << QString();
}

void TestHeadless::addAssignment()
{
    QFETCH(bool, signedIn);
    QFETCH(QString, path);
    QFETCH(int, exitCode);
    QFETCH(QString, line);
    if (signedIn)
        SessionToken::store(kToken);
    const GitHubPayloads payloads = m_server->payloads();
    m_server->setResource(QStringLiteral("/repos/") + kRepository + QStringLiteral("/issues/9"),
        payloads.issue({.id = 9, .repository = kRepository, .number = 9, .pullRequest = true}));
    const QString address = path.startsWith(u'/') ? m_server->webBaseUrl().toString() + path : path;

    const QStringList lines = run({QStringLiteral("--headless"), QStringLiteral("--add-assignment"), address});
    QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_process->exitCode(), exitCode);
    if (line.isEmpty())
        QVERIFY(m_process->readAllStandardError().contains("Sign in first"));
    else
        QVERIFY2(lines.contains(line), qPrintable(lines.join(u'\n')));
    QCOMPARE(m_server->requestsTo(QStringLiteral("/repos/") + kRepository + QStringLiteral("/issues/9")).size(),
        exitCode == 0 ? 1 : 0);
    if (exitCode == 0) {
        const auto issues = Issue::decodeList(*PreferenceStore().data(PreferenceKeys::issuesCacheKey));
        QCOMPARE(std::get<QList<IssuePtr>>(issues).size(), 1);
    }
}

QTEST_GUILESS_MAIN(TestHeadless)
#include "tst_headless.moc"

#include "AppProcess.h"
#include "SessionToken.h"
#include "github/Issue.h"
#include "github/Notification.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kToken = u"ghp_headless"_s;
const QString kRepository = u"octocat/Hello-World"_s;
const QString kSha = u"6dcb09b5b57875f334f61aebed695e2e4193db5e"_s;

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

    std::unique_ptr<AppProcess> m_app;
    FakeGitHub* m_server = nullptr;
    QProcess* m_process = nullptr;
};

void TestHeadless::init()
{
    if (!SessionToken::inKeyringTestSession())
        QSKIP("Writes the token item of the keyring: run it through scripts/with-test-session");
    m_app = std::make_unique<AppProcess>(QStringLiteral(TIDEWHELK_EXECUTABLE));
    m_server = &m_app->server();
    m_process = &m_app->process();
    m_server->setToken(kToken);
}

void TestHeadless::cleanup()
{
    m_app.reset();
}

void TestHeadless::addPullRequestThread()
{
    const GitHubPayloads payloads = m_server->payloads();
    m_server->addNotification(payloads.thread({.id = u"1"_s,
        .repository = kRepository,
        .type = u"PullRequest"_s,
        .number = 7,
        .title = u"Teach the parser"_s,
        .updatedAt = QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}));
    const QString pulls = u"/repos/"_s + kRepository + u"/pulls/7"_s;
    m_server->setResource(pulls, payloads.pullRequest({.repository = kRepository, .number = 7, .headSha = kSha}));
    m_server->setResource(pulls + u"/reviews"_s,
        QJsonArray {payloads.review({.repository = kRepository, .pullNumber = 7, .state = u"CHANGES_REQUESTED"_s})});
    m_server->setResource(u"/repos/"_s + kRepository + u"/statuses/"_s + kSha,
        QJsonArray {payloads.status({.repository = kRepository, .sha = kSha, .state = u"pending"_s})});
}

void TestHeadless::addMergedAssignment()
{
    const GitHubPayloads payloads = m_server->payloads();
    m_server->addAssignedIssue(payloads.issue({.id = 9,
        .repository = kRepository,
        .number = 9,
        .title = u"Ship the reader"_s,
        .pullRequest = true,
        .updatedAt = QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}));
    m_server->setResource(u"/repos/"_s + kRepository + u"/pulls/9"_s,
        payloads.pullRequest({.id = 9, .repository = kRepository, .number = 9, .merged = true}));
}

void TestHeadless::syncsRefreshesStoresAndExitsZero()
{
    addPullRequestThread();
    addMergedAssignment();
    SessionToken::store(kToken);

    const QStringList lines = m_app->run({u"--headless"_s, u"--once"_s});
    QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_process->exitCode(), 0);
    QVERIFY(lines.contains(u"Loaded 0 notifications from cache."_s));
    QVERIFY(lines.contains(u"Processed 1 new notifications"_s));
    QVERIFY(lines.contains(u">>> Refreshing pull request statuses..."_s));
    // The CI and review requests may answer after the refresh closed: the run waits for them.
    QVERIFY2(lines.contains(QStringLiteral("Updated PR details for Teach the parser: CI=pending, "
                                           "Review=changes_requested")),
        qPrintable(lines.join(u'\n')));
    QVERIFY(lines.contains(u"Loaded 0 issues from cache."_s));
    QVERIFY(lines.contains(u"Processed 1 new assignments"_s));
    QVERIFY(lines.contains(u"Updated PR status: Ship the reader - merged"_s));
    QVERIFY(!lines.join(u'\n').contains(kToken));

    // What the run learnt is in the preference file for the next start.
    PreferenceStore preferences;
    const auto cache = Notification::decodeList(*preferences.data(PreferenceKeys::notificationsCacheKey));
    const auto* notifications = std::get_if<QList<NotificationPtr>>(&cache);
    QVERIFY(notifications);
    QCOMPARE(notifications->size(), 1);
    const Subject& subject = notifications->first()->subject();
    QCOMPARE(subject.state(), u"open"_s);
    QCOMPARE(subject.ciStatus(), u"pending"_s);
    QCOMPARE(subject.reviewStatus(), u"changes_requested"_s);
    QVERIFY(preferences.date(PreferenceKeys::lastPullDate));
    const auto issues = Issue::decodeList(*preferences.data(PreferenceKeys::issuesCacheKey));
    const auto* assignments = std::get_if<QList<IssuePtr>>(&issues);
    QVERIFY(assignments);
    QCOMPARE(assignments->size(), 1);
    QCOMPARE(assignments->first()->displayState(), u"merged"_s);
    QVERIFY(preferences.date(PreferenceKeys::lastPullDateAssignments));
}

void TestHeadless::exitCode_data()
{
    QTest::addColumn<QString>("storedToken");
    QTest::addColumn<QString>("failingPath"); // empty: none
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("line");
    QTest::newRow("no token: sign in") << QString() << QString() << 2 << u"   API Error: noToken"_s;
    QTest::newRow("revoked token: sign in")
        << u"ghp_revoked"_s << QString() << 2 << u"   API Error: httpError(statusCode: 401, message: \"HTTP 401\")"_s;
    QTest::newRow("notifications server error")
        << kToken << u"/notifications"_s << 1 << u"   API Error: httpError(statusCode: 502, message: \"HTTP 502\")"_s;
    QTest::newRow("assignments server error")
        << kToken << u"/issues"_s << 1
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

    const QStringList lines = m_app->run({u"--headless"_s, u"--once"_s});
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

    QTest::newRow("added") << true << u"/octocat/Hello-World/pull/9"_s << 0 << u"Assignment added successfully"_s;
    QTest::newRow("foreign host") << true << u"https://example.org/octocat/Hello-World/pull/9"_s << 1
                                  << u"Invalid URL"_s;
    QTest::newRow("no token: sign in") << false << u"/octocat/Hello-World/pull/9"_s << 2 << QString();
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
    m_server->setResource(u"/repos/"_s + kRepository + u"/issues/9"_s,
        payloads.issue({.id = 9, .repository = kRepository, .number = 9, .pullRequest = true}));
    const QString address = path.startsWith(u'/') ? m_server->webBaseUrl().toString() + path : path;

    const QStringList lines = m_app->run({u"--headless"_s, u"--add-assignment"_s, address});
    QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_process->exitCode(), exitCode);
    if (line.isEmpty())
        QVERIFY(m_process->readAllStandardError().contains("Sign in first"));
    else
        QVERIFY2(lines.contains(line), qPrintable(lines.join(u'\n')));
    QCOMPARE(m_server->requestsTo(u"/repos/"_s + kRepository + u"/issues/9"_s).size(), exitCode == 0 ? 1 : 0);
    if (exitCode == 0) {
        const auto issues = Issue::decodeList(*PreferenceStore().data(PreferenceKeys::issuesCacheKey));
        QCOMPARE(std::get<QList<IssuePtr>>(issues).size(), 1);
    }
}

QTEST_GUILESS_MAIN(TestHeadless)
#include "tst_headless.moc"

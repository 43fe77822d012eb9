#include "FeedSteps.h"
#include "GitHubTestEnvironment.h"
#include "TestData.h"
#include "assignments/AssignmentsViewModel.h"
#include "notifications/NotificationsViewModel.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace FeedSteps;

using TestData::ids;

namespace {

const QString kToken = u"ghp_accountfilter"_s;

} // namespace

// The filter's `account:` on live feeds: each feed answers for the account it was given,
// so that in a window of several accounts a query keeps one account's rows.
class TestAccountFilter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void feedsKeepOrDropEveryRow_data();
    void feedsKeepOrDropEveryRow();
    void completionOffersTheFeedsOwnAccount();

private:
    std::unique_ptr<GitHubTestEnvironment> m_world;
    std::shared_ptr<NotificationsViewModel> m_notifications;
    std::shared_ptr<AssignmentsViewModel> m_assignments;
};

void TestAccountFilter::initTestCase()
{
    m_world = std::make_unique<GitHubTestEnvironment>();
    m_world->signIn(kToken);
    FakeGitHub& server = m_world->server();
    server.addNotification(server.payloads().thread(
        {.id = u"1"_s, .type = u"PullRequest"_s, .title = u"Speed up sync"_s, .updatedAt = u"2026-12-02T10:00:00Z"_s}));
    server.addNotification(
        server.payloads().thread({.id = u"2"_s, .number = 2, .updatedAt = u"2026-12-01T10:00:00Z"_s}));
    server.addAssignedIssue(
        server.payloads().issue({.id = 7, .pullRequest = true, .updatedAt = u"2026-12-02T10:00:00Z"_s}));
    server.addAssignedIssue(server.payloads().issue({.id = 8, .number = 8, .updatedAt = u"2026-12-01T10:00:00Z"_s}));

    m_notifications = NotificationsViewModel::create(m_world->environment());
    QCOMPARE(waitForSync(*m_notifications), SyncOutcome::Succeeded);
    m_assignments = AssignmentsViewModel::create(m_world->environment());
    QCOMPARE(waitForSync(*m_assignments), SyncOutcome::Succeeded);
}

void TestAccountFilter::cleanupTestCase()
{
    m_notifications.reset();
    m_assignments.reset();
    m_world.reset();
}

void TestAccountFilter::feedsKeepOrDropEveryRow_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<bool>("enterprise");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("threads");
    QTest::addColumn<QList<qint64>>("issues");

    const QStringList allThreads {u"1"_s, u"2"_s};
    const QList<qint64> allIssues {7, 8};
    QTest::newRow("the feed's login") << u"octocat"_s << false << u"account:octocat"_s << allThreads << allIssues;
    QTest::newRow("a feed of another account keeps nothing")
        << u"mona"_s << true << u"account:octocat"_s << QStringList() << QList<qint64>();
    QTest::newRow("another account's feed on its host")
        << u"mona"_s << true << u"account:github.example.com"_s << allThreads << allIssues;
    QTest::newRow("negated, the feed's own")
        << u"octocat"_s << false << u"-account:octocat"_s << QStringList() << QList<qint64>();
    QTest::newRow("negated, another account") << u"octocat"_s << false << u"-account:mona"_s << allThreads << allIssues;
    QTest::newRow("with the record's qualifiers")
        << u"octocat"_s << false << u"account:OCTOCAT is:pr"_s << QStringList {u"1"_s} << QList<qint64> {7};
}

void TestAccountFilter::feedsKeepOrDropEveryRow()
{
    QFETCH(QString, login);
    QFETCH(bool, enterprise);
    QFETCH(QString, text);
    QFETCH(QStringList, threads);
    QFETCH(QList<qint64>, issues);
    const GitHubEndpoints endpoints = enterprise
        ? GitHubEndpoints(u"https://github.example.com/api/v3"_s, u"https://github.example.com"_s)
        : m_world->environment().endpoints;
    const Account account {login, endpoints, enterprise ? u"account2"_s : QString()};
    m_notifications->setAccount(account);
    m_assignments->setAccount(account);
    m_notifications->setTextFilter(text);
    m_assignments->setTextFilter(text);
    QVERIFY(m_notifications->filterQuery().hints().isEmpty());
    QVERIFY(m_assignments->filterQuery().hints().isEmpty());
    QCOMPARE(ids(m_notifications->filteredNotifications()), threads);
    QCOMPARE(ids(m_assignments->filteredIssues()), issues);
}

void TestAccountFilter::completionOffersTheFeedsOwnAccount()
{
    const Account account {u"octocat"_s, m_world->environment().endpoints, QString()};
    m_notifications->setAccount(account);
    m_assignments->setAccount(account);
    const QStringList offer {u"-account:octocat@127.0.0.1:"_s + QString::number(m_world->server().port())};
    QCOMPARE(m_notifications->filterCompletions(u"-acc"_s), QStringList {u"-account:"_s});
    QCOMPARE(m_notifications->filterCompletions(u"-account:"_s), offer);
    QCOMPARE(m_assignments->filterCompletions(u"-account:o"_s), offer);
}

QTEST_GUILESS_MAIN(TestAccountFilter)
#include "tst_accountfilter.moc"

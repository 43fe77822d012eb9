#include "FeedSteps.h"
#include "GitHubTestEnvironment.h"
#include "SessionToken.h"
#include "TestData.h"
#include "assignments/AssignmentsViewModel.h"
#include "desktop/NewThreadWatcher.h"
#include "desktop/TrayStatus.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace FeedSteps;

namespace {

const QString kToken = u"ghp_desktop"_s;

// An hour apart from the start of virtual time on, so that every sync fetches them.
QString updatedAt(const QString& id)
{
    return VirtualScheduler::defaultStart().addSecs(3600 * id.toInt()).toString(Qt::ISODate);
}

QStringList toldIds(const QSignalSpy& spy)
{
    QStringList told;
    for (const QList<QVariant>& arguments : spy)
        told += TestData::ids(arguments.first().value<QList<NotificationPtr>>());
    return told;
}

} // namespace

// Which threads count as newly arrived after a sync, and what the status-area icon makes
// of the two controllers' lists.
class TestNewThreads : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void arrivalsOfTwoSyncs_data();
    void arrivalsOfTwoSyncs();
    void threadsGitHubReportsReadAreNotNew_data();
    void threadsGitHubReportsReadAreNotNew();
    void trayToolTip_data();
    void trayToolTip();
    void trayStateFollowsArrivalsAndTheWindow();

private:
    QJsonObject thread(const QString& id) const
    {
        return m_world->server().payloads().thread(
            {.id = id, .number = id.toInt(), .title = u"Thread "_s + id, .updatedAt = updatedAt(id)});
    }
    void addThreads(const QStringList& ids)
    {
        for (const QString& id : ids)
            m_world->server().addNotification(thread(id));
    }
    // Syncs a minute later, past the HTTP cache's lifetime of the last list, and returns
    // the ids told newly arrived.
    QStringList sync(NotificationsViewModel& viewModel, NewThreadWatcher& watcher)
    {
        m_world->scheduler().advance(std::chrono::seconds(61));
        QSignalSpy arrived(&watcher, &NewThreadWatcher::arrived);
        viewModel.syncNotifications();
        if (waitForSync(viewModel) != SyncOutcome::Succeeded)
            qFatal("the sync failed");
        return toldIds(arrived);
    }

    std::unique_ptr<GitHubTestEnvironment> m_world;
};

void TestNewThreads::init()
{
    if (!SessionToken::inKeyringTestSession())
        QSKIP("Writes the token item of the keyring: run it through scripts/with-test-session");
    m_world = std::make_unique<GitHubTestEnvironment>();
    m_world->signIn(kToken);
}

void TestNewThreads::cleanup()
{
    m_world.reset();
}

void TestNewThreads::arrivalsOfTwoSyncs_data()
{
    QTest::addColumn<QStringList>("cached");
    QTest::addColumn<QStringList>("readHere");
    QTest::addColumn<QStringList>("stoppedWatching");
    QTest::addColumn<QStringList>("onGitHub");
    QTest::addColumn<QStringList>("addedLater");
    QTest::addColumn<QStringList>("toldFirst");
    QTest::addColumn<QStringList>("toldSecond");

    const QStringList none;
    QTest::newRow("an empty cache's first sync lists the inbox untold")
        << none << none << none << QStringList {u"1"_s, u"2"_s} << QStringList {u"3"_s, u"4"_s} << none
        << QStringList {u"4"_s, u"3"_s};
    QTest::newRow("a cached list's first sync tells what is new")
        << QStringList {u"1"_s} << none << none << QStringList {u"1"_s, u"2"_s} << none << QStringList {u"2"_s} << none;
    QTest::newRow("a thread read here is not new")
        << QStringList {u"1"_s} << QStringList {u"3"_s} << none << QStringList {u"1"_s} << QStringList {u"3"_s, u"4"_s}
        << none << QStringList {u"4"_s};
    QTest::newRow("a thread whose subject the user stopped watching is not new")
        << QStringList {u"1"_s} << none << QStringList {u"3"_s} << QStringList {u"1"_s} << QStringList {u"3"_s} << none
        << none;
}

void TestNewThreads::arrivalsOfTwoSyncs()
{
    QFETCH(QStringList, cached);
    QFETCH(QStringList, readHere);
    QFETCH(QStringList, stoppedWatching);
    QFETCH(QStringList, onGitHub);
    QFETCH(QStringList, addedLater);
    QFETCH(QStringList, toldFirst);
    QFETCH(QStringList, toldSecond);

    PersistenceService persistence(m_world->environment());
    QJsonArray cache;
    for (const QString& id : cached)
        cache.append(thread(id));
    persistence.save(TestData::decodedOrFatal(Notification::decodeList(TestData::compact(cache))),
        PreferenceKeys::notificationsCacheKey);
    persistence.save(QSet<QString>(readHere.begin(), readHere.end()), PreferenceKeys::readNotificationsKey);
    NotificationsViewModel::StoppedWatching marks;
    for (const QString& id : stoppedWatching)
        marks.insert(thread(id)[u"subject"_s][u"url"_s].toString(), m_world->scheduler().now());
    persistence.save(marks, PreferenceKeys::stoppedWatchingKey);
    addThreads(onGitHub);

    auto viewModel = NotificationsViewModel::create(m_world->environment(), FeedController::StartUp::OnStart);
    NewThreadWatcher watcher(*viewModel);
    QSignalSpy arrived(&watcher, &NewThreadWatcher::arrived);
    viewModel->start();
    QCOMPARE(waitForSync(*viewModel), SyncOutcome::Succeeded);
    QCOMPARE(toldIds(arrived), toldFirst);

    addThreads(addedLater);
    QCOMPARE(sync(*viewModel, watcher), toldSecond);
}

void TestNewThreads::threadsGitHubReportsReadAreNotNew_data()
{
    QTest::addColumn<QJsonValue>("unread");
    QTest::addColumn<bool>("told");
    QTest::newRow("unread") << QJsonValue(true) << true;
    QTest::newRow("read on GitHub") << QJsonValue(false) << false;
    QTest::newRow("no flag (a cached record)") << QJsonValue(QJsonValue::Undefined) << true;
    QTest::newRow("a flag of another type is no flag") << QJsonValue(u"false"_s) << true;
}

void TestNewThreads::threadsGitHubReportsReadAreNotNew()
{
    QFETCH(QJsonValue, unread);
    QFETCH(bool, told);
    QJsonObject payload = thread(u"1"_s);
    payload.remove(u"unread"_s);
    if (!unread.isUndefined())
        payload.insert(u"unread"_s, unread);
    const QList<NotificationPtr> listed
        = TestData::decodedOrFatal(Notification::decodeList(TestData::compact(QJsonArray {payload})));
    const QList<NotificationPtr> arrivals
        = NewThreadWatcher::arrivals(listed, {u"1"_s}, [](const Notification&) { return false; });
    QCOMPARE(arrivals.size(), told ? 1 : 0);
}

void TestNewThreads::trayToolTip_data()
{
    QTest::addColumn<int>("threads");
    QTest::addColumn<int>("assigned");
    QTest::addColumn<int>("archived");
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("nothing") << 0 << 0 << 0 << true << u"Tidewhelk — 0 notifications, 0 assignments"_s;
    QTest::newRow("one of each") << 1 << 1 << 0 << true << u"Tidewhelk — 1 notification, 1 assignment"_s;
    QTest::newRow("archived items are not counted")
        << 12 << 4 << 1 << true << u"Tidewhelk — 12 notifications, 3 assignments"_s;
    QTest::newRow("not signed in") << 0 << 0 << 0 << false << u"Tidewhelk — not signed in to GitHub"_s;
}

void TestNewThreads::trayToolTip()
{
    QFETCH(int, threads);
    QFETCH(int, assigned);
    QFETCH(int, archived);
    QFETCH(bool, signedIn);
    QFETCH(QString, toolTip);
    for (int id = 1; id <= threads; ++id)
        m_world->server().addNotification(thread(QString::number(id)));
    QJsonArray archivedIssues;
    for (int id = 1; id <= assigned; ++id) {
        const QJsonObject issue
            = m_world->server().payloads().issue({.id = id, .number = id, .updatedAt = u"2026-12-01T10:00:00Z"_s});
        m_world->server().addAssignedIssue(issue);
        if (id <= archived)
            archivedIssues.append(issue);
    }
    PersistenceService(m_world->environment())
        .save(TestData::decodedOrFatal(Issue::decodeList(TestData::compact(archivedIssues))),
            PreferenceKeys::archivedIssuesKey);
    if (!signedIn)
        m_world->signOut();

    auto notifications = NotificationsViewModel::create(m_world->environment());
    auto assignments = AssignmentsViewModel::create(m_world->environment());
    NewThreadWatcher watcher(*notifications);
    TrayStatus status(*notifications, *assignments, watcher);
    QVERIFY(waitForSync(*notifications));
    if (assignments->isLoading())
        QVERIFY(waitForSync(*assignments));
    QCOMPARE(status.toolTip(), toolTip);
}

void TestNewThreads::trayStateFollowsArrivalsAndTheWindow()
{
    auto notifications = NotificationsViewModel::create(m_world->environment(), FeedController::StartUp::OnStart);
    auto assignments = AssignmentsViewModel::create(m_world->environment(), FeedController::StartUp::OnStart);
    NewThreadWatcher watcher(*notifications);
    TrayStatus status(*notifications, *assignments, watcher);
    QSignalSpy changed(&status, &TrayStatus::changed);
    QCOMPARE(status.state(), TrayStatus::State::Quiet);

    addThreads({u"1"_s});
    notifications->start();
    QVERIFY(waitForSync(*notifications));
    QCOMPARE(status.state(), TrayStatus::State::Unread);

    // The window has not been in sight since.
    addThreads({u"2"_s});
    QCOMPARE(sync(*notifications, watcher), QStringList {u"2"_s});
    QCOMPARE(status.state(), TrayStatus::State::NewArrivals);

    changed.clear();
    status.setWindowInSight(true);
    QCOMPARE(status.state(), TrayStatus::State::Unread);
    QCOMPARE(changed.size(), 1);
    addThreads({u"3"_s});
    QCOMPARE(sync(*notifications, watcher), QStringList {u"3"_s});
    QCOMPARE(status.state(), TrayStatus::State::Unread);

    status.setWindowInSight(false);
    for (const NotificationPtr& read : QList<NotificationPtr>(notifications->notifications()))
        notifications->removeReadNotification(read);
    QCOMPARE(status.state(), TrayStatus::State::Quiet);
}

QTEST_MAIN(TestNewThreads)
#include "tst_newthreads.moc"

#include "FeedSteps.h"
#include "GitHubTestEnvironment.h"
#include "TestData.h"
#include "Wait.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

using FeedSteps::waitForSync;
using TestData::ids;

namespace {

const QString kToken = u"ghp_readelsewhere"_s;

Fault faultNamed(const QString& name)
{
    if (name == u"server error")
        return Fault::reply(500, "{}");
    if (name == u"undecodable page")
        return Fault::malformedJson();
    if (name == u"token refused")
        return Fault::reply(401, R"({"message":"Bad credentials"})");
    return Fault::rateLimited(QDateTime::fromSecsSinceEpoch(1796000000));
}

} // namespace

// Threads the user read elsewhere (github.com, another client): the full listing of
// unread threads that finds them, the mark or the removal, and when the listing runs.
class TestReadElsewhere : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void markedAfterAListingAndUnmarkedWhenUnreadAgain();
    void switchLetsThemLeaveTheListButNotTheFavorites_data();
    void switchLetsThemLeaveTheListButNotTheFavorites();
    void incompleteListingChangesNothing_data();
    void incompleteListingChangesNothing();
    void listsAtMostEveryTenMinutesUnlessTheUserResyncs();
    void noListingWhileTheRateLimitIsPaused();

private:
    // Threads "1" to `count`, newest first by number, in two repositories.
    void serveThreads(int count);
    std::shared_ptr<NotificationsViewModel> startAndSettle();
    bool settle(NotificationsViewModel& viewModel);
    // Requests of the full listing (the ones without "since").
    QList<RecordedRequest> listingRequests() const;
    QSet<QString> storedMarks() const
    {
        return PersistenceService(m_world->environment())
            .loadIds(PreferenceKeys::readElsewhereKey)
            .value_or(QSet<QString> {});
    }

    std::unique_ptr<GitHubTestEnvironment> m_world;
};

void TestReadElsewhere::init()
{
    m_world = std::make_unique<GitHubTestEnvironment>();
    m_world->signIn(kToken);
}

void TestReadElsewhere::cleanup()
{
    m_world.reset();
}

void TestReadElsewhere::serveThreads(int count)
{
    const GitHubPayloads payloads = m_world->server().payloads();
    for (int number = 1; number <= count; ++number) {
        m_world->server().addNotification(payloads.thread({.id = QString::number(number),
            .repository = number % 2 ? u"octocat/odd"_s : u"octocat/even"_s,
            .type = u"CheckSuite"_s,
            .updatedAt = u"2026-12-01T10:%1:00Z"_s.arg(number, 2, 10, QLatin1Char('0'))}));
    }
}

bool TestReadElsewhere::settle(NotificationsViewModel& viewModel)
{
    return waitForSync(viewModel) == SyncOutcome::Succeeded
        && waitUntil([&] { return !viewModel.hasRequestsInFlight(); });
}

std::shared_ptr<NotificationsViewModel> TestReadElsewhere::startAndSettle()
{
    auto viewModel = NotificationsViewModel::create(m_world->environment());
    return settle(*viewModel) ? viewModel : nullptr;
}

QList<RecordedRequest> TestReadElsewhere::listingRequests() const
{
    QList<RecordedRequest> listing = m_world->server().requestsTo(u"/notifications"_s);
    listing.removeIf([](const RecordedRequest& r) { return r.request.queryValue(u"since"_s) != QString(); });
    return listing;
}

void TestReadElsewhere::markedAfterAListingAndUnmarkedWhenUnreadAgain()
{
    serveThreads(3);
    auto viewModel = startAndSettle();
    QVERIFY(viewModel);
    QCOMPARE(listingRequests().size(), 1);
    QVERIFY(viewModel->readElsewhereIds().isEmpty());

    QVERIFY(m_world->server().readNotificationOnServer(u"2"_s));
    viewModel->resyncAll();
    QVERIFY(settle(*viewModel));
    QCOMPARE(viewModel->readElsewhereIds(), QSet<QString> {u"2"_s});
    QCOMPARE(ids(viewModel->notifications()), (QStringList {u"3"_s, u"2"_s, u"1"_s}));
    QCOMPARE(storedMarks(), QSet<QString> {u"2"_s});

    // The mark outlives a restart, before any reply.
    {
        auto restarted = NotificationsViewModel::create(m_world->environment());
        QVERIFY(restarted->isReadElsewhere(*restarted->notifications().at(1)));
        QVERIFY(settle(*restarted));
    }

    // New activity makes it unread: the incremental sync brings it, and the mark goes.
    m_world->scheduler().advance(1min);
    m_world->server().addNotification(m_world->server().payloads().thread(
        {.id = u"2"_s, .type = u"CheckSuite"_s, .updatedAt = m_world->scheduler().now().toString(Qt::ISODate)}));
    viewModel->syncNotifications();
    QCOMPARE(waitForSync(*viewModel), SyncOutcome::Succeeded);
    QVERIFY(viewModel->readElsewhereIds().isEmpty());
    QVERIFY(storedMarks().isEmpty());
}

void TestReadElsewhere::switchLetsThemLeaveTheListButNotTheFavorites_data()
{
    QTest::addColumn<bool>("onBeforeListing");
    QTest::newRow("on when the listing finds them") << true;
    QTest::newRow("turned on after they were marked") << false;
}

void TestReadElsewhere::switchLetsThemLeaveTheListButNotTheFavorites()
{
    QFETCH(bool, onBeforeListing);
    serveThreads(3);
    m_world->environment().preferences->setBool(PreferenceKeys::removeReadElsewhere, onBeforeListing);
    auto viewModel = startAndSettle();
    QVERIFY(viewModel);
    QCOMPARE(viewModel->removeReadElsewhere(), onBeforeListing);
    viewModel->toggleFavorite(viewModel->notifications().at(2));

    QVERIFY(m_world->server().readNotificationOnServer(u"1"_s));
    QVERIFY(m_world->server().readNotificationOnServer(u"3"_s));
    m_world->console().clear();
    viewModel->resyncAll();
    QVERIFY(settle(*viewModel));
    if (!onBeforeListing) {
        QCOMPARE(viewModel->notifications().size(), 3);
        viewModel->setRemoveReadElsewhere(true);
        QVERIFY(m_world->environment().preferences->boolValue(PreferenceKeys::removeReadElsewhere));
    }

    QCOMPARE(ids(viewModel->notifications()), QStringList {u"2"_s});
    QCOMPARE(viewModel->repositories(), (QStringList {u"All Repositories"_s, u"octocat/even"_s}));
    QCOMPARE(ids(viewModel->favorites()), QStringList {u"1"_s});
    QVERIFY(viewModel->readElsewhereIds().isEmpty());
    QCOMPARE(
        m_world->console().linesStartingWith(u"Removed "_s), QStringList {u"Removed 2 notifications read elsewhere"_s});
    // Unlike a thread marked read here, it comes back with new activity.
    QVERIFY(viewModel->readNotificationIds().isEmpty());
    m_world->scheduler().advance(1s);
    QCOMPARE(ids(*PersistenceService(m_world->environment()).loadNotifications(PreferenceKeys::notificationsCacheKey)),
        QStringList {u"2"_s});
}

void TestReadElsewhere::incompleteListingChangesNothing_data()
{
    QTest::addColumn<QString>("why");
    QTest::newRow("server error") << u"httpError(statusCode: 500, message: \"HTTP 500\")"_s;
    QTest::newRow("undecodable page")
        << u"dataCorrupted(codingPath: [], debugDescription: \"The given data was not valid JSON: illegal value at offset 27.\")"_s;
    QTest::newRow("token refused") << u"httpError(statusCode: 401, message: \"HTTP 401\")"_s;
    QTest::newRow("rate limit used up") << u"rateLimited(resetTime: \"1796000000\")"_s;
}

// Threads missing from a partial listing would look read: nothing is marked or removed,
// and the debug log says why.
void TestReadElsewhere::incompleteListingChangesNothing()
{
    QFETCH(QString, why);
    const Fault fault = faultNamed(QString::fromUtf8(QTest::currentDataTag()));
    m_world->server().setPageSize(2);
    serveThreads(6);
    auto viewModel = startAndSettle();
    QVERIFY(viewModel);
    QVERIFY(m_world->server().readNotificationOnServer(u"6"_s));
    viewModel->resyncAll();
    QVERIFY(settle(*viewModel));
    QCOMPARE(viewModel->readElsewhereIds(), QSet<QString> {u"6"_s});

    QVERIFY(m_world->server().readNotificationOnServer(u"5"_s));
    QVERIFY(m_world->server().readNotificationOnServer(u"1"_s));
    FakeGitHub& server = m_world->server();
    const QMetaObject::Connection failing
        = connect(&server, &FakeGitHub::requestReceived, this, [&](const RecordedRequest& received) {
              if (received.path == u"/notifications" && received.request.queryValue(u"since"_s).isEmpty()
                  && received.request.queryValue(u"page"_s) == u"2")
                  server.injectFault(FaultTarget::path(u"/notifications"_s), fault);
          });
    m_world->logEcho().clear();
    viewModel->resyncAll();
    QVERIFY(settle(*viewModel));
    disconnect(failing);

    QCOMPARE(viewModel->readElsewhereIds(), QSet<QString> {u"6"_s});
    QCOMPARE(storedMarks(), QSet<QString> {u"6"_s});
    QCOMPARE(viewModel->notifications().size(), 6);
    QCOMPARE(m_world->logEcho().lines(),
        QStringList {u"[22:16:37.000] ⚠️ [ReadElsewhere] Unread threads not listed, nothing marked: "_s + why});
}

void TestReadElsewhere::listsAtMostEveryTenMinutesUnlessTheUserResyncs()
{
    serveThreads(2);
    auto viewModel = startAndSettle();
    QVERIFY(viewModel);
    QCOMPARE(listingRequests().size(), 1);

    m_world->scheduler().advance(9min + 59s);
    viewModel->syncNotifications();
    QVERIFY(settle(*viewModel));
    QCOMPARE(listingRequests().size(), 1);

    m_world->scheduler().advance(1s);
    viewModel->syncNotifications();
    QVERIFY(settle(*viewModel));
    QCOMPARE(listingRequests().size(), 2);
    // Unchanged since the last listing: GitHub answers 304, at no cost.
    QVERIFY(listingRequests().last().notModified());

    m_world->scheduler().advance(1min);
    viewModel->resyncAll();
    QVERIFY(settle(*viewModel));
    QCOMPARE(listingRequests().size(), 3);
}

// What is left of the budget belongs to the feeds and the user's own actions.
void TestReadElsewhere::noListingWhileTheRateLimitIsPaused()
{
    VirtualScheduler& scheduler = m_world->scheduler();
    m_world->server().setRateLimitClock([&scheduler] { return scheduler.now(); });
    serveThreads(2);
    // The sync leaves 9 of 100, below the reserve of a tenth.
    m_world->server().setRateLimit(100, 10);
    auto viewModel = startAndSettle();
    QVERIFY(viewModel);
    QVERIFY(listingRequests().isEmpty());
    QVERIFY(m_world->logEcho().lines().contains(
        u"[22:16:37.000] ⚠️ [ReadElsewhere] Unread threads not listed: GitHub's rate limit is nearly used up"_s));

    // After the reset the next sync lists.
    scheduler.advance(std::chrono::seconds(3601));
    viewModel->syncNotifications();
    QVERIFY(settle(*viewModel));
    QCOMPARE(listingRequests().size(), 1);
}

QTEST_GUILESS_MAIN(TestReadElsewhere)
#include "tst_readelsewhere.moc"

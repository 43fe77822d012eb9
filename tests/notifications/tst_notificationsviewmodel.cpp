#include "FeedSteps.h"
#include "GitHubTestEnvironment.h"
#include "TestData.h"
#include "Wait.h"
#include "core/DateTexts.h"
#include "core/WakeWatcher.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace FeedSteps;

using TestData::ids;

namespace {

const QString token = u"ghp_notifications"_s;
const QString repository = u"octocat/Hello-World"_s;
const QString sha = u"6dcb09b5b57875f334f61aebed695e2e4193db5e"_s;

NotificationPtr cachedThread(
    const QString& id, const QString& type, const QString& updatedAt, const std::optional<QString>& url = std::nullopt)
{
    return std::make_shared<Notification>(
        id, Subject(u"Cached "_s + id, type, url), Repository(repository), u"subscribed"_s, updatedAt);
}

} // namespace

class TestNotificationsViewModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void firstStartLoadsNothingAndSyncsTheLastYear();
    void mergeKeepsTheListedRecordUnlessTheFetchedOneIsNewer();
    void threadsMarkedReadNeverReappear();
    void emptyReplyRecordsThePullAsOfTheRequest();
    void syncFailure_data();
    void syncFailure();
    void watchdogForcesCompletionAndALateReplyIsStillProcessed();
    void refreshWritesStateCiAndReviewIntoTheRecordAndTheCache();
    void refreshClosesEvenWhenEveryStateRequestFails();
    void refreshWithoutPullRequestsSendsNothing();
    void markCompletedReadSendsOnePatchPerCompletedThread();
    void failedMarkReadKeepsTheThread();
    void bulkOperation_data();
    void bulkOperation();
    void bulkStarsAndUnstarsTogether();
    void markAsDone_data();
    void markAsDone();
    void doneThreadsStayOutUntilGitHubUpdatesThem();
    void tokenThatCannotReadNotifications_data();
    void tokenThatCannotReadNotifications();
    void stopWatchingIsReappliedAfterSyncsAndExpiresAfterThirtyDays();
    void favouritesToggleAndPersist();
    void autoReloadSwitchesPrintsAndPersists();
    void automaticSyncsKeepGitHubsPollInterval();
    void wakingCatchesUpOnAMissedSync_data();
    void wakingCatchesUpOnAMissedSync();
    void destroyedControllerIgnoresRepliesButFinishesHeldSteps();

private:
    std::shared_ptr<NotificationsViewModel> start() { return NotificationsViewModel::create(m_world->environment()); }
    void addPullRequest(const QString& id, int number, const QString& updatedAt, bool merged = false);
    QString now() const { return mediumDateTimeText(m_world->scheduler().now()); }
    PersistenceService persistence() const { return PersistenceService(m_world->environment()); }
    void saveCache(const QList<NotificationPtr>& threads) const
    {
        persistence().save(threads, PreferenceKeys::notificationsCacheKey);
    }
    // Requests of the feed's syncs (not of the full listing of unread threads).
    qsizetype syncRequests() const
    {
        const QList<RecordedRequest> list = m_world->server().requestsTo(u"/notifications"_s);
        return std::count_if(list.begin(), list.end(),
            [](const RecordedRequest& r) { return !r.request.queryValue(u"since"_s).isEmpty(); });
    }

    std::unique_ptr<GitHubTestEnvironment> m_world;
};

void TestNotificationsViewModel::init()
{
    m_world = std::make_unique<GitHubTestEnvironment>();
}

void TestNotificationsViewModel::cleanup()
{
    m_world.reset();
}

void TestNotificationsViewModel::addPullRequest(const QString& id, int number, const QString& updatedAt, bool merged)
{
    addPullRequestThread(m_world->server(), {.id = id, .number = number, .updatedAt = updatedAt, .merged = merged});
}

void TestNotificationsViewModel::firstStartLoadsNothingAndSyncsTheLastYear()
{
    m_world->signIn(token);
    addPullRequest(u"1"_s, 1, u"2026-12-01T10:00:00Z"_s);
    m_world->server().addNotification(m_world->server().payloads().thread(
        {.id = u"2"_s, .type = u"Issue"_s, .updatedAt = u"2026-12-02T10:00:00Z"_s}));

    auto viewModel = start();
    QVERIFY(viewModel->isLoading());
    QCOMPARE(viewModel->statusMessage(), u"Syncing notifications at "_s + now() + u"..."_s);
    QCOMPARE(m_world->console().lines().mid(0, 4),
        (QStringList {u">>> Auto-reload disabled"_s, u"Loaded 0 notifications from cache."_s,
            u">>> Fetching notifications..."_s, u"🔧 GitHubAPIService.fetchNotifications called"_s}));
    QVERIFY(waitForSync(*viewModel));

    const QList<RecordedRequest> list = m_world->server().requestsTo(u"/notifications"_s);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.first().request.queryValue(u"since"_s), u"2025-12-05T22:16:37Z"_s);
    QCOMPARE(ids(viewModel->notifications()), (QStringList {u"2"_s, u"1"_s}));
    QCOMPARE(viewModel->newNotificationIds(), (QSet<QString> {u"1"_s, u"2"_s}));
    QCOMPARE(viewModel->repositories(), (QStringList {u"All Repositories"_s, repository}));
    QVERIFY(!viewModel->isLoading());
    QCOMPARE(viewModel->statusMessage(), u"Synced 2 notifications at "_s + now());
    QVERIFY(m_world->console().lines().contains(u"Processed 2 new notifications"_s));
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDate), m_world->scheduler().now());

    m_world->scheduler().advance(2999ms);
    QCOMPARE(viewModel->newNotificationIds().size(), 2);
    m_world->scheduler().advance(1ms);
    QVERIFY(viewModel->newNotificationIds().isEmpty());
}

void TestNotificationsViewModel::mergeKeepsTheListedRecordUnlessTheFetchedOneIsNewer()
{
    m_world->signIn(token);
    const NotificationPtr same = cachedThread(u"10"_s, u"Issue"_s, u"2026-12-01T10:00:00Z"_s);
    same->subject().setState(u"closed"_s);
    const NotificationPtr older = cachedThread(u"11"_s, u"PullRequest"_s, u"2026-12-01T09:00:00Z"_s);
    older->subject().setState(u"open"_s);
    older->subject().setCiStatus(u"passing"_s);
    saveCache({same, older});

    const GitHubPayloads payloads = m_world->server().payloads();
    m_world->server().addNotification(
        payloads.thread({.id = u"10"_s, .title = u"Server 10"_s, .updatedAt = u"2026-12-01T10:00:00Z"_s}));
    m_world->server().addNotification(payloads.thread(
        {.id = u"11"_s, .type = u"PullRequest"_s, .title = u"Server 11"_s, .updatedAt = u"2026-12-03T10:00:00Z"_s}));

    auto viewModel = start();
    QVERIFY(m_world->console().lines().contains(u"Loaded 2 notifications from cache."_s));
    QList<NotificationPtr> atMerge;
    connect(
        viewModel.get(), &NotificationsViewModel::syncFinished, this, [&] { atMerge = viewModel->notifications(); });
    QVERIFY(waitForSync(*viewModel));

    QCOMPARE(ids(atMerge), (QStringList {u"11"_s, u"10"_s}));
    QCOMPARE(atMerge.at(1)->subject().title(), u"Cached 10"_s);
    QCOMPARE(atMerge.at(1)->subject().state(), u"closed"_s);
    QCOMPARE(atMerge.at(0)->subject().title(), u"Server 11"_s);
    QCOMPARE(atMerge.at(0)->subject().ciStatus(), std::nullopt);
    QVERIFY(viewModel->newNotificationIds().isEmpty());
}

void TestNotificationsViewModel::threadsMarkedReadNeverReappear()
{
    m_world->signIn(token);
    persistence().save(QSet<QString> {u"7"_s}, PreferenceKeys::readNotificationsKey);
    saveCache({cachedThread(u"7"_s, u"Issue"_s, u"2026-12-01T10:00:00Z"_s)});
    const GitHubPayloads payloads = m_world->server().payloads();
    m_world->server().addNotification(payloads.thread({.id = u"7"_s, .updatedAt = u"2026-12-04T10:00:00Z"_s}));
    m_world->server().addNotification(payloads.thread({.id = u"8"_s, .updatedAt = u"2026-12-04T11:00:00Z"_s}));

    auto viewModel = start();
    QVERIFY(m_world->console().lines().contains(u"Loaded 0 notifications from cache."_s));
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(ids(viewModel->notifications()), QStringList {u"8"_s});

    viewModel->markAsRead(viewModel->notifications().first());
    QVERIFY(waitUntil([&] { return viewModel->notifications().isEmpty(); }));
    QCOMPARE(m_world->server().requestsTo(u"/notifications/threads/8"_s).size(), 1);
    QVERIFY(m_world->console().lines().contains(u"Notification marked as read successfully."_s));
    QCOMPARE(persistence().loadIds(PreferenceKeys::readNotificationsKey), (QSet<QString> {u"7"_s, u"8"_s}));

    // The feed hands the thread back with a newer update: it stays out of the list.
    m_world->server().addNotification(payloads.thread({.id = u"8"_s, .updatedAt = u"2026-12-05T22:00:00Z"_s}));
    viewModel->syncNotifications();
    QVERIFY(waitForSync(*viewModel));
    QVERIFY(viewModel->notifications().isEmpty());
}

// The last-pull date is when the request was sent: a thread updated while the reply
// was on its way is asked for again. An empty reply still records it.
void TestNotificationsViewModel::emptyReplyRecordsThePullAsOfTheRequest()
{
    m_world->signIn(token);
    const QDateTime lastWeek = m_world->scheduler().now().addDays(-7);
    m_world->environment().preferences->setDate(PreferenceKeys::lastPullDate, lastWeek);
    m_world->server().injectFault(FaultTarget::path(u"/notifications"_s), Fault::delay(100ms));

    auto viewModel = start();
    const QDateTime sent = m_world->scheduler().now();
    m_world->scheduler().advance(20s);
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(m_world->server().requestsTo(u"/notifications"_s).first().request.queryValue(u"since"_s),
        lastWeek.toString(Qt::ISODate));
    QCOMPARE(viewModel->statusMessage(), u"Synced 0 notifications at "_s + now());
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDate), sent);
    QCoreApplication::processEvents();
    QCOMPARE(m_world->environment().preferences->data(PreferenceKeys::notificationsCacheKey), QByteArray("[]"));

    viewModel->syncNotifications();
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(m_world->server().requestsTo(u"/notifications"_s).last().request.queryValue(u"since"_s),
        sent.toString(Qt::ISODate));
}

void TestNotificationsViewModel::syncFailure_data()
{
    QTest::addColumn<QString>("acceptedToken"); // empty: nothing stored
    QTest::addColumn<QStringList>("diagnostics");

    const QString heading = u"❌ Error fetching notifications:"_s;
    const QString type = u"   Error type: APIError"_s;
    QTest::newRow("no token") << QString()
                              << QStringList {heading, type,
                                     u"   Localized description: No GitHub token available; please sign in"_s,
                                     u"   API Error: noToken"_s};
    QTest::newRow("revoked token answered 401")
        << u"another"_s
        << QStringList {heading, type, u"   Localized description: GitHub answered HTTP 401"_s,
               u"   API Error: httpError(statusCode: 401, message: \"HTTP 401\")"_s};
}

// A revoked token leads back to sign-in as a missing one does.
void TestNotificationsViewModel::syncFailure()
{
    QFETCH(QString, acceptedToken);
    QFETCH(QStringList, diagnostics);
    if (!acceptedToken.isEmpty()) {
        m_world->signIn(token);
        m_world->server().setToken(acceptedToken);
    }
    saveCache({cachedThread(u"3"_s, u"Issue"_s, u"2026-12-01T10:00:00Z"_s)});

    auto viewModel = start();
    QCOMPARE(waitForSync(*viewModel), SyncOutcome::NeedsSignIn);
    QCOMPARE(viewModel->statusMessage(), u"Sync failed at "_s + now());
    QVERIFY(viewModel->needsToken());
    QVERIFY(!viewModel->isLoading());
    const QStringList lines = m_world->console().lines();
    QCOMPARE(lines.mid(lines.indexOf(diagnostics.first()), diagnostics.size()), diagnostics);
    QCOMPARE(ids(viewModel->notifications()), QStringList {u"3"_s});
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDate), std::nullopt);
}

void TestNotificationsViewModel::watchdogForcesCompletionAndALateReplyIsStillProcessed()
{
    m_world->signIn(token);
    m_world->server().addNotification(
        m_world->server().payloads().thread({.id = u"5"_s, .updatedAt = u"2026-12-04T10:00:00Z"_s}));
    m_world->server().injectFault(FaultTarget::path(u"/notifications"_s), Fault::delay(200ms));

    auto viewModel = start();
    m_world->scheduler().advance(29999ms);
    QVERIFY(viewModel->isLoading());
    m_world->scheduler().advance(1ms);
    QVERIFY(!viewModel->isLoading());
    QCOMPARE(viewModel->statusMessage(), u"Sync timed out at "_s + now());
    QCOMPARE(m_world->console().linesStartingWith(u"⚠️"_s),
        QStringList {u"⚠️ Notification fetch timeout - forcing completion"_s});

    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(ids(viewModel->notifications()), QStringList {u"5"_s});
    QCOMPARE(viewModel->statusMessage(), u"Synced 1 notifications at "_s + now());
}

void TestNotificationsViewModel::refreshWritesStateCiAndReviewIntoTheRecordAndTheCache()
{
    m_world->signIn(token);
    addPullRequest(u"1"_s, 1, u"2026-12-01T10:00:00Z"_s, true);
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    server.setResource(u"/repos/"_s + repository + u"/statuses/"_s + sha,
        QJsonArray {payloads.status({.repository = repository, .sha = sha})});
    server.setResource(u"/repos/"_s + repository + u"/commits/"_s + sha + u"/check-runs"_s,
        payloads.checkRuns({payloads.checkRun({.repository = repository, .headSha = sha})}));

    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    QSignalSpy changed(viewModel.get(), &NotificationsViewModel::changed);
    QVERIFY(runStatusRefresh(m_world->scheduler(), *viewModel));

    const Subject& subject = viewModel->notifications().first()->subject();
    QCOMPARE(subject.state(), u"merged"_s);
    QCOMPARE(subject.ciStatus(), u"passing"_s);
    QCOMPARE(subject.reviewStatus(), u"approved"_s);
    QVERIFY(changed.count() >= 2);
    QCOMPARE(m_world->console().linesStartingWith(QStringList {u">>> Refreshing"_s, u"Updated PR details"_s}),
        (QStringList {u">>> Refreshing pull request statuses..."_s,
            u"Updated PR details for Pull 1: CI=passing, Review=approved"_s}));
    QCOMPARE(viewModel->statusMessage(), u"Refreshed 1 pull request statuses at "_s + now());

    // The cache follows within a second.
    m_world->scheduler().advance(1s);
    const auto cached = persistence().loadNotifications(PreferenceKeys::notificationsCacheKey);
    QVERIFY(cached);
    QCOMPARE(cached->first()->subject(), subject);
}

void TestNotificationsViewModel::refreshClosesEvenWhenEveryStateRequestFails()
{
    m_world->signIn(token);
    for (int number = 1; number <= 3; ++number) {
        addPullRequest(QString::number(number), number, u"2026-12-0%1T10:00:00Z"_s.arg(number));
        m_world->server().removeResource(u"/repos/"_s + repository + u"/pulls/"_s + QString::number(number));
    }
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    QVERIFY(waitUntil([&] { return !viewModel->hasRequestsInFlight(); }));
    m_world->console().clear();
    QVERIFY(runStatusRefresh(m_world->scheduler(), *viewModel));

    QCOMPARE(m_world->console().linesStartingWith(QStringList {u"Error fetching state for "_s}).size(), 3);
    QCOMPARE(viewModel->statusMessage(), u"Refreshed 3 pull request statuses at "_s + now());
    QCOMPARE(viewModel->notifications().first()->subject().state(), std::nullopt);
}

void TestNotificationsViewModel::refreshWithoutPullRequestsSendsNothing()
{
    m_world->signIn(token);
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    QVERIFY(waitUntil([&] { return !viewModel->hasRequestsInFlight(); }));
    m_world->server().clearRequests();
    m_world->console().clear();
    m_world->scheduler().advance(500ms);
    QCOMPARE(m_world->console().lines(),
        (QStringList {u">>> Refreshing pull request statuses..."_s, u"No pull request notifications to refresh"_s}));
    QCOMPARE(viewModel->statusMessage(), u"No pull request notifications found at "_s + now());
    QVERIFY(!viewModel->isLoading());
    QVERIFY(!viewModel->hasRequestsInFlight());
}

void TestNotificationsViewModel::markCompletedReadSendsOnePatchPerCompletedThread()
{
    m_world->signIn(token);
    QList<NotificationPtr> cache;
    const QStringList states {u"closed"_s, u"merged"_s, u"resolved"_s, u"Closed"_s, u"open"_s};
    for (qsizetype i = 0; i < states.size(); ++i) {
        NotificationPtr thread = cachedThread(QString::number(100 + i), u"Issue"_s, u"2026-12-01T10:00:00Z"_s);
        thread->subject().setState(states.at(i));
        cache << thread;
        m_world->server().addNotification(
            m_world->server().payloads().thread({.id = thread->id(), .updatedAt = u"2020-01-01T00:00:00Z"_s}));
    }
    cache << cachedThread(u"200"_s, u"Issue"_s, u"2026-12-01T10:00:00Z"_s);
    saveCache(cache);

    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    QVERIFY(waitUntil([&] { return !viewModel->hasRequestsInFlight(); }));
    m_world->console().clear();
    viewModel->markCompletedAsRead();
    QCOMPARE(viewModel->statusMessage(), u"Marking 3 completed notifications as read..."_s);
    QVERIFY(waitUntil([&] { return viewModel->notifications().size() == 3; }));
    QCOMPARE(m_world->server().requestsUnder(u"/notifications/threads/"_s).size(), 3);
    QCOMPARE(ids(viewModel->notifications()), (QStringList {u"103"_s, u"104"_s, u"200"_s}));
    QCOMPARE(m_world->console().lines().first(), u">>> Marking completed notifications as read..."_s);

    viewModel->markCompletedAsRead();
    QCOMPARE(viewModel->statusMessage(), u"Marking 0 completed notifications as read..."_s);
    QVERIFY(!viewModel->hasRequestsInFlight());
}

void TestNotificationsViewModel::failedMarkReadKeepsTheThread()
{
    m_world->signIn(token);
    saveCache({cachedThread(u"9"_s, u"Issue"_s, u"2026-12-01T10:00:00Z"_s)});
    m_world->server().injectFault(FaultTarget::path(u"/notifications/threads/9"_s),
        Fault::reply(500, QByteArrayLiteral("{\"message\":\"Server Error\"}")));
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    viewModel->markAsRead(viewModel->notifications().first());
    QVERIFY(
        waitUntil([&] { return !m_world->console().linesStartingWith(u"Error marking notification"_s).isEmpty(); }));
    QCOMPARE(m_world->console().linesStartingWith(u"Error marking notification"_s),
        QStringList {u"Error marking notification as read: GitHub answered HTTP 500"_s});
    QCOMPARE(ids(viewModel->notifications()), QStringList {u"9"_s});
    QVERIFY(viewModel->readNotificationIds().isEmpty());
}

void TestNotificationsViewModel::bulkOperation_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("midway");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("failure");

    QTest::newRow("mark as read") << u"read"_s << QByteArray("PATCH") << u"Marking 5 of 6 as read…"_s
                                  << u"Marked 4 as read; 2 failed, see the debug log"_s << u" not marked read: "_s;
    QTest::newRow("mark as done") << u"done"_s << QByteArray("DELETE") << u"Marking 5 of 6 as done…"_s
                                  << u"Marked 4 as done; 2 failed, see the debug log"_s << u" not marked done: "_s;
    QTest::newRow("stop watching") << u"stopWatching"_s << QByteArray("PATCH") << u"Unsubscribing 5 of 6…"_s
                                   << u"Unsubscribed 4; 2 failed, see the debug log"_s << u" not marked read: "_s;
}

void TestNotificationsViewModel::bulkOperation()
{
    QFETCH(QString, operation);
    QFETCH(QByteArray, method);
    QFETCH(QString, midway);
    QFETCH(QString, outcome);
    QFETCH(QString, failure);
    m_world->signIn(token);
    QList<NotificationPtr> cached;
    for (int id = 1; id <= 6; ++id) {
        const QString updatedAt = u"2026-12-01T1%1:00:00Z"_s.arg(id);
        cached << cachedThread(QString::number(id), u"Issue"_s, updatedAt,
            u"https://api.github.com/repos/octocat/Hello-World/issues/%1"_s.arg(id));
        m_world->server().addNotification(
            m_world->server().payloads().thread({.id = QString::number(id), .updatedAt = updatedAt}));
    }
    saveCache(cached);
    const Fault serverError = Fault::reply(500, QByteArrayLiteral("{\"message\":\"Server Error\"}"));
    for (const QString& failing : {u"2"_s, u"5"_s}) {
        m_world->server().injectFault(
            FaultTarget::path(u"/notifications/threads/"_s + failing, method), serverError, FakeGitHub::always);
    }
    // The last answer comes late, so that the status line is seen between the others and it.
    m_world->server().injectFault(FaultTarget::path(u"/notifications/threads/6"_s, method), Fault::delay(300ms));
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    QVERIFY(waitUntil([&] { return !viewModel->hasRequestsInFlight(); }));
    m_world->console().clear();
    m_world->logEcho().clear();

    const QList<NotificationPtr> all = viewModel->notifications();
    if (operation == u"read")
        viewModel->markAsRead(all);
    else if (operation == u"done")
        viewModel->markAsDone(all);
    else
        viewModel->stopWatching(all);
    const auto listed = [&viewModel] {
        QStringList rows = ids(viewModel->notifications());
        rows.sort();
        return rows;
    };
    QCOMPARE(viewModel->statusMessage(), QString(midway).replace(u"5 of"_s, u"0 of"_s));
    QVERIFY(waitUntil([&] { return viewModel->statusMessage() == midway; }));
    // Nothing leaves that GitHub did not accept.
    QCOMPARE(listed(), (QStringList {u"2"_s, u"5"_s, u"6"_s}));

    QVERIFY(waitUntil([&] { return viewModel->statusMessage() == outcome; }));
    QCOMPARE(listed(), (QStringList {u"2"_s, u"5"_s}));
    const QSet<QString> accepted {u"1"_s, u"3"_s, u"4"_s, u"6"_s};
    if (operation == u"done") {
        QCOMPARE(QSet<QString>(viewModel->doneNotifications().keyBegin(), viewModel->doneNotifications().keyEnd()),
            accepted);
        QVERIFY(viewModel->readNotificationIds().isEmpty());
    } else {
        QCOMPARE(viewModel->readNotificationIds(), accepted);
        QCOMPARE(persistence().loadIds(PreferenceKeys::readNotificationsKey), accepted);
    }
    // Stopping watching marks every subject, whatever GitHub answers.
    QCOMPARE(viewModel->stoppedWatchingSubjects().size(), operation == u"stopWatching" ? 6 : 0);
    QVERIFY(m_world->console().lines().isEmpty());
    QVERIFY(waitUntil([&] { return m_world->logEcho().lines().size() == 2; }));
    QStringList logged = m_world->logEcho().lines();
    logged.sort();
    const QString prefix = u"[22:16:37.000] ⚠️ [Notifications] Thread "_s;
    const QString why = u"httpError(statusCode: 500, message: \"HTTP 500\")"_s;
    QCOMPARE(logged, (QStringList {prefix + u"2"_s + failure + why, prefix + u"5"_s + failure + why}));
}

void TestNotificationsViewModel::bulkStarsAndUnstarsTogether()
{
    m_world->signIn(token);
    saveCache({cachedThread(u"1"_s, u"Issue"_s, u"2026-12-01T13:00:00Z"_s),
        cachedThread(u"2"_s, u"Issue"_s, u"2026-12-01T12:00:00Z"_s),
        cachedThread(u"3"_s, u"Issue"_s, u"2026-12-01T11:00:00Z"_s)});
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    const QList<NotificationPtr> threads = viewModel->notifications();
    viewModel->toggleFavorite(threads[1]);
    QSignalSpy changes(viewModel.get(), &NotificationsViewModel::favoritesChanged);

    viewModel->setFavorite(threads, true);
    QCOMPARE(ids(viewModel->favorites()), (QStringList {u"2"_s, u"1"_s, u"3"_s}));
    QCOMPARE(ids(*persistence().loadNotifications(PreferenceKeys::favoritesKey)), ids(viewModel->favorites()));
    viewModel->setFavorite({threads[0], threads[1]}, false);
    QCOMPARE(ids(viewModel->favorites()), QStringList {u"3"_s});
    QCOMPARE(changes.size(), 2);
}

void TestNotificationsViewModel::markAsDone_data()
{
    QTest::addColumn<std::optional<Fault>>("fault");
    QTest::addColumn<QString>("why"); // empty: marked done
    QTest::addColumn<QString>("description");

    QTest::newRow("204 from GitHub") << std::optional<Fault>() << QString() << QString();
    QTest::newRow("205 from an older server") << std::optional(Fault::reply(205, {})) << QString() << QString();
    QTest::newRow("404 keeps the thread")
        << std::optional(Fault::reply(404, R"({"message":"Not Found"})")) << u"GitHub answered HTTP 404"_s
        << u"httpError(statusCode: 404, message: \"HTTP 404\")"_s;
    QTest::newRow("422 keeps the thread")
        << std::optional(Fault::reply(422, R"({"message":"Validation Failed"})")) << u"GitHub answered HTTP 422"_s
        << u"httpError(statusCode: 422, message: \"HTTP 422\")"_s;
    QTest::newRow("dropped connection keeps the thread")
        << std::optional(Fault::dropConnection()) << u"Connection closed"_s
        << u"TransportError(RemoteHostClosedError: \"Connection closed\")"_s;
}

void TestNotificationsViewModel::markAsDone()
{
    QFETCH(std::optional<Fault>, fault);
    QFETCH(QString, why);
    QFETCH(QString, description);
    m_world->signIn(token);
    saveCache({cachedThread(u"9"_s, u"Issue"_s, u"2026-12-01T10:00:00Z"_s),
        cachedThread(u"10"_s, u"Issue"_s, u"2026-12-01T09:00:00Z"_s)});
    m_world->server().addNotification(
        m_world->server().payloads().thread({.id = u"9"_s, .updatedAt = u"2026-12-01T10:00:00Z"_s}));
    // Always: the network layer sends a DELETE again once when its connection drops.
    if (fault)
        m_world->server().injectFault(
            FaultTarget::path(u"/notifications/threads/9"_s, "DELETE"), *fault, FakeGitHub::always);
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    QVERIFY(waitUntil([&] { return !viewModel->hasRequestsInFlight(); }));
    QVERIFY(viewModel->canMarkAsDone());
    const QString statusBefore = viewModel->statusMessage();
    m_world->console().clear();
    m_world->logEcho().clear();

    viewModel->markAsDone(viewModel->notifications().first());
    QVERIFY(waitUntil([&] { return !viewModel->hasRequestsInFlight(); }));

    const QList<RecordedRequest> sent = m_world->server().requestsTo(u"/notifications/threads/9"_s);
    QVERIFY(!sent.isEmpty());
    QVERIFY(
        std::all_of(sent.begin(), sent.end(), [](const RecordedRequest& r) { return r.request.method == "DELETE"; }));
    QVERIFY(viewModel->readNotificationIds().isEmpty());
    if (why.isEmpty()) {
        QCOMPARE(ids(viewModel->notifications()), QStringList {u"10"_s});
        const NotificationRules::DoneMarks marks {{u"9"_s, u"2026-12-01T10:00:00Z"_s}};
        QCOMPARE(viewModel->doneNotifications(), marks);
        QCOMPARE(persistence().loadTexts(PreferenceKeys::doneNotificationsKey), marks);
        QCOMPARE(m_world->console().lines(), QStringList {u"Notification marked as done successfully."_s});
        QCOMPARE(viewModel->statusMessage(), statusBefore);
        QCoreApplication::processEvents();
        QVERIFY(m_world->logEcho().lines().isEmpty());
    } else {
        QCOMPARE(ids(viewModel->notifications()), (QStringList {u"9"_s, u"10"_s}));
        QVERIFY(viewModel->doneNotifications().isEmpty());
        QCOMPARE(persistence().loadTexts(PreferenceKeys::doneNotificationsKey), std::nullopt);
        QCOMPARE(m_world->console().lines(), QStringList {u"Error marking notification as done: "_s + why});
        QCOMPARE(viewModel->statusMessage(), u"Marking \"Cached 9\" as done failed at "_s + now() + u": "_s + why);
        QVERIFY(waitUntil([&] { return !m_world->logEcho().lines().isEmpty(); }));
        QCOMPARE(m_world->logEcho().lines(),
            QStringList {u"[22:16:37.000] ⚠️ [Notifications] Thread 9 not marked done: "_s + description});
    }
}

void TestNotificationsViewModel::doneThreadsStayOutUntilGitHubUpdatesThem()
{
    m_world->signIn(token);
    // Marked done in an earlier run, while the cache still held it.
    persistence().save(
        NotificationRules::DoneMarks {{u"7"_s, u"2026-12-01T10:00:00Z"_s}}, PreferenceKeys::doneNotificationsKey);
    saveCache({cachedThread(u"7"_s, u"Issue"_s, u"2026-12-01T10:00:00Z"_s),
        cachedThread(u"8"_s, u"Issue"_s, u"2026-12-01T09:00:00Z"_s)});
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    server.addNotification(payloads.thread({.id = u"5"_s, .updatedAt = u"2026-12-06T10:00:00Z"_s}));

    auto viewModel = start();
    QVERIFY(m_world->console().lines().contains(u"Loaded 1 notifications from cache."_s));
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(ids(viewModel->notifications()), (QStringList {u"5"_s, u"8"_s}));
    viewModel->markAsDone(viewModel->notifications().first());
    QVERIFY(waitUntil([&] { return viewModel->notifications().size() == 1; }));
    QVERIFY(server.isNotificationDone(u"5"_s));
    QCOMPARE(viewModel->doneNotifications(),
        (NotificationRules::DoneMarks {{u"7"_s, u"2026-12-01T10:00:00Z"_s}, {u"5"_s, u"2026-12-06T10:00:00Z"_s}}));

    // Listed again with nothing new: it stays out.
    server.addNotification(payloads.thread({.id = u"5"_s, .updatedAt = u"2026-12-06T10:00:00Z"_s}));
    viewModel->syncNotifications();
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(ids(viewModel->notifications()), QStringList {u"8"_s});

    // Updated since: back as a new thread, without its mark. (A minute on, the sync asks
    // from a later moment than the kept reply's.)
    m_world->scheduler().advance(1min);
    server.addNotification(payloads.thread({.id = u"5"_s, .updatedAt = u"2026-12-06T11:00:00Z"_s}));
    viewModel->syncNotifications();
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(ids(viewModel->notifications()), (QStringList {u"5"_s, u"8"_s}));
    QCOMPARE(viewModel->newNotificationIds(), QSet<QString> {u"5"_s});
    const NotificationRules::DoneMarks stillDone {{u"7"_s, u"2026-12-01T10:00:00Z"_s}};
    QCOMPARE(viewModel->doneNotifications(), stillDone);
    QCOMPARE(persistence().loadTexts(PreferenceKeys::doneNotificationsKey), stillDone);
}

void TestNotificationsViewModel::tokenThatCannotReadNotifications_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("explanation"); // empty: the bare failure

    const QString explanation
        = u": Fine-grained tokens cannot read notifications; use a classic token with the notifications and repo scopes"_s;
    QTest::newRow("fine-grained token") << u"Resource not accessible by personal access token"_s << explanation;
    QTest::newRow("app token") << u"Resource not accessible by integration"_s << explanation;
    QTest::newRow("another 403") << u"Must have admin rights to Repository."_s << QString();
}

// GitHub refuses the notifications to fine-grained and app tokens whatever they may do.
void TestNotificationsViewModel::tokenThatCannotReadNotifications()
{
    QFETCH(QString, message);
    QFETCH(QString, explanation);
    m_world->signIn(token);
    const QByteArray body
        = QJsonDocument(QJsonObject {{u"message"_s, message},
                            {u"documentation_url"_s, u"https://docs.github.com/rest/activity/notifications"_s}})
              .toJson(QJsonDocument::Compact);
    m_world->server().injectFault(FaultTarget::path(u"/notifications"_s), Fault::reply(403, body));

    auto viewModel = start();
    QCOMPARE(waitForSync(*viewModel), SyncOutcome::Failed);
    QCOMPARE(viewModel->statusMessage(), u"Sync failed at "_s + now() + explanation);
    QVERIFY(!viewModel->needsToken());
}

void TestNotificationsViewModel::stopWatchingIsReappliedAfterSyncsAndExpiresAfterThirtyDays()
{
    m_world->signIn(token);
    const GitHubPayloads payloads = m_world->server().payloads();
    m_world->server().addNotification(
        payloads.thread({.id = u"1"_s, .number = 42, .updatedAt = u"2026-12-01T10:00:00Z"_s}));
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    const NotificationPtr thread = viewModel->notifications().first();
    const QString subjectUrl = *thread->subject().url();

    viewModel->stopWatching(thread);
    QCOMPARE(viewModel->stoppedWatchingSubjects().value(subjectUrl), m_world->scheduler().now());
    QVERIFY(waitUntil([&] { return viewModel->notifications().isEmpty(); }));
    QCOMPARE(
        persistence().loadDates(PreferenceKeys::stoppedWatchingKey)->value(subjectUrl), m_world->scheduler().now());

    // A new thread about the same subject comes in: it is marked read again.
    m_world->scheduler().advance(std::chrono::hours(24 * 29));
    m_world->server().addNotification(
        payloads.thread({.id = u"2"_s, .number = 42, .updatedAt = u"2026-12-06T10:00:00Z"_s}));
    m_world->server().clearRequests();
    viewModel->syncNotifications();
    QVERIFY(waitForSync(*viewModel));
    QVERIFY(waitUntil([&] { return viewModel->notifications().isEmpty(); }));
    QCOMPARE(m_world->server().requestsTo(u"/notifications/threads/2"_s).size(), 1);

    // Thirty days after the mark it is no longer applied, also in a session that has been
    // running all along,
    m_world->scheduler().advance(std::chrono::hours(24));
    m_world->server().addNotification(
        payloads.thread({.id = u"3"_s, .number = 42, .updatedAt = u"2027-01-04T10:00:00Z"_s}));
    m_world->server().clearRequests();
    viewModel->syncNotifications();
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(ids(viewModel->notifications()), QStringList {u"3"_s});
    QVERIFY(m_world->server().requestsUnder(u"/notifications/threads/"_s).isEmpty());
    viewModel.reset();

    // and the next start drops it.
    viewModel = start();
    QVERIFY(viewModel->stoppedWatchingSubjects().isEmpty());
    QVERIFY(persistence().loadDates(PreferenceKeys::stoppedWatchingKey)->isEmpty());
}

void TestNotificationsViewModel::favouritesToggleAndPersist()
{
    m_world->signIn(token);
    saveCache({cachedThread(u"1"_s, u"Issue"_s, u"2026-12-01T10:00:00Z"_s)});
    auto viewModel = start();
    const NotificationPtr thread = viewModel->notifications().first();
    viewModel->toggleFavorite(thread);
    QVERIFY(viewModel->isFavorite(thread));
    QCOMPARE(ids(*persistence().loadNotifications(PreferenceKeys::favoritesKey)), QStringList {u"1"_s});
    viewModel->toggleFavorite(thread);
    QVERIFY(!viewModel->isFavorite(thread));
    QVERIFY(persistence().loadNotifications(PreferenceKeys::favoritesKey)->isEmpty());

    viewModel->toggleFavorite(thread);
    QVERIFY(waitForSync(*viewModel));
    viewModel.reset();
    viewModel = start();
    QCOMPARE(ids(viewModel->favorites()), QStringList {u"1"_s});
}

void TestNotificationsViewModel::autoReloadSwitchesPrintsAndPersists()
{
    m_world->signIn(token);
    checkAutoReload(*m_world, [this] { return start(); }, PreferenceKeys::autoReload,
        {u"Auto-reload triggered at 2026-12-05 22:21:40 +0000"_s, u">>> Auto-reload: Triggering scheduled sync"_s,
            u">>> Fetching notifications..."_s});
}

// GitHub may ask pollers to wait longer than five minutes: automatic syncs keep to it,
// one the user asks for does not.
void TestNotificationsViewModel::automaticSyncsKeepGitHubsPollInterval()
{
    m_world->signIn(token);
    m_world->server().setPollInterval(900);
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    viewModel->setAutoReload(true);
    m_world->server().clearRequests();

    m_world->scheduler().advance(899s);
    QCOMPARE(syncRequests(), 0);
    viewModel->syncNotifications();
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(syncRequests(), 1);
    m_world->scheduler().advance(1s);
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(syncRequests(), 2);
}

void TestNotificationsViewModel::wakingCatchesUpOnAMissedSync_data()
{
    QTest::addColumn<bool>("autoReload");
    QTest::addColumn<int>("sleptSeconds");
    QTest::addColumn<int>("syncs");
    QTest::newRow("slept through a sync") << true << 7200 << 1;
    QTest::newRow("short nap") << true << 100 << 0;
    QTest::newRow("auto-sync off") << false << 7200 << 0;
}

void TestNotificationsViewModel::wakingCatchesUpOnAMissedSync()
{
    QFETCH(bool, autoReload);
    QFETCH(int, sleptSeconds);
    QFETCH(int, syncs);
    WakeWatcher wake(m_world->logger());
    m_world->environment().wake = &wake;
    m_world->signIn(token);
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    viewModel->setAutoReload(autoReload);
    m_world->server().clearRequests();

    m_world->scheduler().sleep(std::chrono::seconds(sleptSeconds));
    // Resuming and the network coming back, one after the other: one sync.
    Q_EMIT wake.woke();
    Q_EMIT wake.woke();
    m_world->scheduler().advance(5s);
    if (syncs > 0)
        QVERIFY(waitForSync(*viewModel));
    QCOMPARE(syncRequests(), syncs);
    if (syncs > 0) {
        // The next automatic sync comes a whole interval after the catch-up.
        m_world->scheduler().advance(296s);
        QCOMPARE(syncRequests(), syncs);
    }
    m_world->environment().wake = nullptr;
}

void TestNotificationsViewModel::destroyedControllerIgnoresRepliesButFinishesHeldSteps()
{
    m_world->signIn(token);
    addPullRequest(u"1"_s, 1, u"2026-12-01T10:00:00Z"_s);

    // Dropped before its reply: the reply changes nothing and prints nothing.
    {
        auto viewModel = start();
        const QPointer<NotificationsViewModel> watched(viewModel.get());
        viewModel.reset();
        QVERIFY(watched.isNull());
    }
    m_world->scheduler().advance(31s);
    QVERIFY(m_world->console().linesStartingWith(u"⚠️"_s).isEmpty());

    // Dropped after a successful sync: the status refresh and the highlight clearing
    // it scheduled still run, then the controller goes.
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(m_world->console().lines().count(u"Processed 1 new notifications"_s), 1);
    const QPointer<NotificationsViewModel> watched(viewModel.get());
    viewModel.reset();
    QVERIFY(!watched.isNull());
    m_world->console().clear();
    m_world->scheduler().advance(500ms);
    QCOMPARE(m_world->console().lines().first(), u">>> Refreshing pull request statuses..."_s);
    QVERIFY(!watched.isNull());
    m_world->scheduler().advance(3s);
    QVERIFY(watched.isNull());
    m_world->scheduler().advance(30s);
    QVERIFY(m_world->console().linesStartingWith(u"⚠️"_s).isEmpty());
}

QTEST_GUILESS_MAIN(TestNotificationsViewModel)
#include "tst_notificationsviewmodel.moc"

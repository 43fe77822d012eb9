#include "GitHubTestEnvironment.h"
#include "Wait.h"
#include "core/DateTexts.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"

#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {

const QString token = QStringLiteral("ghp_notifications");
const QString repository = QStringLiteral("octocat/Hello-World");
const QString sha = QStringLiteral("6dcb09b5b57875f334f61aebed695e2e4193db5e");

NotificationPtr cachedThread(
    const QString& id, const QString& type, const QString& updatedAt, const std::optional<QString>& url = std::nullopt)
{
    return std::make_shared<Notification>(id, Subject(QStringLiteral("Cached ") + id, type, url),
        Repository(repository), QStringLiteral("subscribed"), updatedAt);
}

QStringList ids(const QList<NotificationPtr>& notifications)
{
    QStringList result;
    for (const NotificationPtr& notification : notifications)
        result << notification->id();
    return result;
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
    void emptyReplyStillRecordsThePull();
    void nextSyncAsksFromWhenTheRequestWasSent();
    void syncFailure_data();
    void syncFailure();
    void watchdogForcesCompletionAndALateReplyIsStillProcessed();
    void refreshWritesStateCiAndReviewIntoTheRecordAndTheCache();
    void refreshClosesEvenWhenEveryStateRequestFails();
    void refreshWithoutPullRequestsSendsNothing();
    void markCompletedReadSendsOnePatchPerCompletedThread();
    void failedMarkReadKeepsTheThread();
    void stopWatchingIsReappliedAfterSyncsAndExpiresAfterThirtyDays();
    void favouritesToggleAndPersist();
    void autoReloadSwitchesPrintsAndPersists();
    void destroyedControllerIgnoresRepliesButFinishesHeldSteps();

private:
    std::shared_ptr<NotificationsViewModel> start();
    void waitForSync(NotificationsViewModel& viewModel);
    // Runs the refresh that follows a sync and waits until every request it started ended.
    void runStatusRefresh(NotificationsViewModel& viewModel);
    void addPullRequest(const QString& id, int number, const QString& updatedAt, bool merged = false);
    QString now() const { return mediumDateTimeText(m_world->scheduler().now()); }
    PersistenceService persistence() const { return PersistenceService(m_world->environment()); }
    QStringList consoleLinesStartingWith(const QStringList& prefixes) const;

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

std::shared_ptr<NotificationsViewModel> TestNotificationsViewModel::start()
{
    return NotificationsViewModel::create(m_world->environment());
}

void TestNotificationsViewModel::waitForSync(NotificationsViewModel& viewModel)
{
    QSignalSpy finished(&viewModel, &NotificationsViewModel::syncFinished);
    QVERIFY(finished.wait(10000));
}

void TestNotificationsViewModel::runStatusRefresh(NotificationsViewModel& viewModel)
{
    QSignalSpy started(&viewModel, &NotificationsViewModel::statusRefreshStarted);
    m_world->scheduler().advance(500ms);
    QCOMPARE(started.count(), 1);
    QVERIFY(waitUntil([&] { return !viewModel.hasRequestsInFlight(); }));
    QCoreApplication::processEvents();
}

void TestNotificationsViewModel::addPullRequest(const QString& id, int number, const QString& updatedAt, bool merged)
{
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    server.addNotification(payloads.thread({.id = id,
        .repository = repository,
        .type = QStringLiteral("PullRequest"),
        .number = number,
        .title = QStringLiteral("Pull ") + id,
        .updatedAt = updatedAt}));
    const QString pulls = QStringLiteral("/repos/") + repository + QStringLiteral("/pulls/") + QString::number(number);
    server.setResource(pulls,
        payloads.pullRequest({.repository = repository,
            .number = number,
            .state = merged ? QStringLiteral("closed") : QStringLiteral("open"),
            .merged = merged,
            .headSha = sha}));
    server.setResource(pulls + QStringLiteral("/reviews"),
        QJsonArray {payloads.review({.repository = repository, .pullNumber = number})});
}

QStringList TestNotificationsViewModel::consoleLinesStartingWith(const QStringList& prefixes) const
{
    QStringList lines;
    for (const QString& line : m_world->console().lines()) {
        if (std::any_of(prefixes.begin(), prefixes.end(), [&](const QString& p) { return line.startsWith(p); }))
            lines << line;
    }
    return lines;
}

void TestNotificationsViewModel::firstStartLoadsNothingAndSyncsTheLastYear()
{
    m_world->signIn(token);
    addPullRequest(QStringLiteral("1"), 1, QStringLiteral("2026-12-01T10:00:00Z"));
    m_world->server().addNotification(m_world->server().payloads().thread({.id = QStringLiteral("2"),
        .type = QStringLiteral("Issue"),
        .updatedAt = QStringLiteral("2026-12-02T10:00:00Z")}));

    auto viewModel = start();
    QVERIFY(viewModel->isLoading());
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Syncing notifications at ") + now() + QStringLiteral("..."));
    QCOMPARE(m_world->console().lines().mid(0, 4),
        (QStringList {QStringLiteral(">>> Auto-reload disabled"), QStringLiteral("Loaded 0 notifications from cache."),
            QStringLiteral(">>> Fetching notifications..."),
            QStringLiteral("🔧 GitHubAPIService.fetchNotifications called")}));
    waitForSync(*viewModel);

    const QList<RecordedRequest> list = m_world->server().requestsTo(QStringLiteral("/notifications"));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.first().request.queryValue(QStringLiteral("since")), QStringLiteral("2025-12-05T22:16:37Z"));
    QCOMPARE(ids(viewModel->notifications()), (QStringList {QStringLiteral("2"), QStringLiteral("1")}));
    QCOMPARE(viewModel->newNotificationIds(), (QSet<QString> {QStringLiteral("1"), QStringLiteral("2")}));
    QCOMPARE(viewModel->repositories(), (QStringList {QStringLiteral("All Repositories"), repository}));
    QVERIFY(!viewModel->isLoading());
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Synced 2 notifications at ") + now());
    QVERIFY(m_world->console().lines().contains(QStringLiteral("Processed 2 new notifications")));
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDate), m_world->scheduler().now());

    m_world->scheduler().advance(2999ms);
    QCOMPARE(viewModel->newNotificationIds().size(), 2);
    m_world->scheduler().advance(1ms);
    QVERIFY(viewModel->newNotificationIds().isEmpty());
}

void TestNotificationsViewModel::mergeKeepsTheListedRecordUnlessTheFetchedOneIsNewer()
{
    m_world->signIn(token);
    const NotificationPtr same
        = cachedThread(QStringLiteral("10"), QStringLiteral("Issue"), QStringLiteral("2026-12-01T10:00:00Z"));
    same->subject().setState(QStringLiteral("closed"));
    const NotificationPtr older
        = cachedThread(QStringLiteral("11"), QStringLiteral("PullRequest"), QStringLiteral("2026-12-01T09:00:00Z"));
    older->subject().setState(QStringLiteral("open"));
    older->subject().setCiStatus(QStringLiteral("passing"));
    persistence().save(QList<NotificationPtr> {same, older}, PreferenceKeys::notificationsCacheKey);

    const GitHubPayloads payloads = m_world->server().payloads();
    m_world->server().addNotification(payloads.thread({.id = QStringLiteral("10"),
        .title = QStringLiteral("Server 10"),
        .updatedAt = QStringLiteral("2026-12-01T10:00:00Z")}));
    m_world->server().addNotification(payloads.thread({.id = QStringLiteral("11"),
        .type = QStringLiteral("PullRequest"),
        .title = QStringLiteral("Server 11"),
        .updatedAt = QStringLiteral("2026-12-03T10:00:00Z")}));

    auto viewModel = start();
    QVERIFY(m_world->console().lines().contains(QStringLiteral("Loaded 2 notifications from cache.")));
    QList<NotificationPtr> atMerge;
    connect(
        viewModel.get(), &NotificationsViewModel::syncFinished, this, [&] { atMerge = viewModel->notifications(); });
    waitForSync(*viewModel);

    QCOMPARE(ids(atMerge), (QStringList {QStringLiteral("11"), QStringLiteral("10")}));
    QCOMPARE(atMerge.at(1)->subject().title(), QStringLiteral("Cached 10"));
    QCOMPARE(atMerge.at(1)->subject().state(), QStringLiteral("closed"));
    QCOMPARE(atMerge.at(0)->subject().title(), QStringLiteral("Server 11"));
    QCOMPARE(atMerge.at(0)->subject().ciStatus(), std::nullopt);
    QVERIFY(viewModel->newNotificationIds().isEmpty());
}

void TestNotificationsViewModel::threadsMarkedReadNeverReappear()
{
    m_world->signIn(token);
    persistence().save(QSet<QString> {QStringLiteral("7")}, PreferenceKeys::readNotificationsKey);
    persistence().save(QList<NotificationPtr> {cachedThread(
                           QStringLiteral("7"), QStringLiteral("Issue"), QStringLiteral("2026-12-01T10:00:00Z"))},
        PreferenceKeys::notificationsCacheKey);
    const GitHubPayloads payloads = m_world->server().payloads();
    m_world->server().addNotification(
        payloads.thread({.id = QStringLiteral("7"), .updatedAt = QStringLiteral("2026-12-04T10:00:00Z")}));
    m_world->server().addNotification(
        payloads.thread({.id = QStringLiteral("8"), .updatedAt = QStringLiteral("2026-12-04T11:00:00Z")}));

    auto viewModel = start();
    QVERIFY(m_world->console().lines().contains(QStringLiteral("Loaded 0 notifications from cache.")));
    waitForSync(*viewModel);
    QCOMPARE(ids(viewModel->notifications()), QStringList {QStringLiteral("8")});

    viewModel->markAsRead(viewModel->notifications().first());
    QVERIFY(waitUntil([&] { return viewModel->notifications().isEmpty(); }));
    QCOMPARE(m_world->server().requestsTo(QStringLiteral("/notifications/threads/8")).size(), 1);
    QVERIFY(m_world->console().lines().contains(QStringLiteral("Notification marked as read successfully.")));
    QCOMPARE(persistence().loadIds(PreferenceKeys::readNotificationsKey),
        (QSet<QString> {QStringLiteral("7"), QStringLiteral("8")}));

    // The feed hands the thread back with a newer update: it stays out of the list.
    m_world->server().addNotification(
        payloads.thread({.id = QStringLiteral("8"), .updatedAt = QStringLiteral("2026-12-05T22:00:00Z")}));
    viewModel->syncNotifications();
    waitForSync(*viewModel);
    QVERIFY(viewModel->notifications().isEmpty());
}

void TestNotificationsViewModel::emptyReplyStillRecordsThePull()
{
    m_world->signIn(token);
    const QDateTime lastWeek = m_world->scheduler().now().addDays(-7);
    m_world->environment().preferences->setDate(PreferenceKeys::lastPullDate, lastWeek);

    auto viewModel = start();
    waitForSync(*viewModel);
    QCOMPARE(m_world->server()
                 .requestsTo(QStringLiteral("/notifications"))
                 .first()
                 .request.queryValue(QStringLiteral("since")),
        lastWeek.toString(Qt::ISODate));
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Synced 0 notifications at ") + now());
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDate), m_world->scheduler().now());
    QCoreApplication::processEvents();
    QCOMPARE(m_world->environment().preferences->data(PreferenceKeys::notificationsCacheKey), QByteArray("[]"));
}

void TestNotificationsViewModel::nextSyncAsksFromWhenTheRequestWasSent()
{
    m_world->signIn(token);
    m_world->server().injectFault(FaultTarget::path(QStringLiteral("/notifications")), Fault::delay(100ms));
    auto viewModel = start();
    const QDateTime sent = m_world->scheduler().now();
    // Time moves on while the reply is on its way.
    m_world->scheduler().advance(20s);
    waitForSync(*viewModel);
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDate), sent);

    viewModel->syncNotifications();
    waitForSync(*viewModel);
    QCOMPARE(m_world->server()
                 .requestsTo(QStringLiteral("/notifications"))
                 .last()
                 .request.queryValue(QStringLiteral("since")),
        sent.toString(Qt::ISODate));
}

void TestNotificationsViewModel::syncFailure_data()
{
    QTest::addColumn<QString>("acceptedToken"); // empty: nothing stored
    QTest::addColumn<bool>("needsToken");
    QTest::addColumn<QStringList>("diagnostics");
    QTest::addColumn<SyncOutcome>("outcome");

    QTest::newRow("no token") << QString() << true
                              << QStringList {QStringLiteral("❌ Error fetching notifications:"),
                                     QStringLiteral("   Error type: APIError"),
                                     QStringLiteral("   Localized description: No GitHub token available; "
                                                    "please sign in"),
                                     QStringLiteral("   API Error: noToken")}
                              << SyncOutcome::NeedsSignIn;
    QTest::newRow("revoked token answered 401")
        << QStringLiteral("another") << true
        << QStringList {QStringLiteral("❌ Error fetching notifications:"), QStringLiteral("   Error type: APIError"),
               QStringLiteral("   Localized description: GitHub answered HTTP 401"),
               QStringLiteral("   API Error: httpError(statusCode: 401, message: \"HTTP 401\")")}
        << SyncOutcome::NeedsSignIn;
}

void TestNotificationsViewModel::syncFailure()
{
    QFETCH(QString, acceptedToken);
    QFETCH(bool, needsToken);
    QFETCH(QStringList, diagnostics);
    QFETCH(SyncOutcome, outcome);
    if (!acceptedToken.isEmpty()) {
        m_world->signIn(token);
        m_world->server().setToken(acceptedToken);
    }
    const NotificationPtr cached
        = cachedThread(QStringLiteral("3"), QStringLiteral("Issue"), QStringLiteral("2026-12-01T10:00:00Z"));
    persistence().save(QList<NotificationPtr> {cached}, PreferenceKeys::notificationsCacheKey);

    auto viewModel = start();
    QSignalSpy finished(viewModel.get(), &NotificationsViewModel::syncFinished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().value<SyncOutcome>(), outcome);
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Sync failed at ") + now());
    QCOMPARE(viewModel->needsToken(), needsToken);
    QVERIFY(!viewModel->isLoading());
    const QStringList lines = m_world->console().lines();
    const qsizetype first = lines.indexOf(diagnostics.first());
    QVERIFY(first >= 0);
    QCOMPARE(lines.mid(first, diagnostics.size()), diagnostics);
    QCOMPARE(ids(viewModel->notifications()), QStringList {QStringLiteral("3")});
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDate), std::nullopt);
}

void TestNotificationsViewModel::watchdogForcesCompletionAndALateReplyIsStillProcessed()
{
    m_world->signIn(token);
    m_world->server().addNotification(m_world->server().payloads().thread(
        {.id = QStringLiteral("5"), .updatedAt = QStringLiteral("2026-12-04T10:00:00Z")}));
    m_world->server().injectFault(FaultTarget::path(QStringLiteral("/notifications")), Fault::delay(200ms));

    auto viewModel = start();
    m_world->scheduler().advance(29999ms);
    QVERIFY(viewModel->isLoading());
    m_world->scheduler().advance(1ms);
    QVERIFY(!viewModel->isLoading());
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Sync timed out at ") + now());
    QCOMPARE(m_world->console().linesStartingWith(QStringLiteral("⚠️")),
        QStringList {QStringLiteral("⚠️ Notification fetch timeout - forcing completion")});

    waitForSync(*viewModel);
    QCOMPARE(ids(viewModel->notifications()), QStringList {QStringLiteral("5")});
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Synced 1 notifications at ") + now());
}

void TestNotificationsViewModel::refreshWritesStateCiAndReviewIntoTheRecordAndTheCache()
{
    m_world->signIn(token);
    addPullRequest(QStringLiteral("1"), 1, QStringLiteral("2026-12-01T10:00:00Z"), true);
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    server.setResource(QStringLiteral("/repos/") + repository + QStringLiteral("/statuses/") + sha,
        QJsonArray {payloads.status({.repository = repository, .sha = sha})});
    server.setResource(
        QStringLiteral("/repos/") + repository + QStringLiteral("/commits/") + sha + QStringLiteral("/check-runs"),
        payloads.checkRuns({payloads.checkRun({.repository = repository, .headSha = sha})}));

    auto viewModel = start();
    waitForSync(*viewModel);
    QSignalSpy changed(viewModel.get(), &NotificationsViewModel::changed);
    runStatusRefresh(*viewModel);

    const Subject& subject = viewModel->notifications().first()->subject();
    QCOMPARE(subject.state(), QStringLiteral("merged"));
    QCOMPARE(subject.ciStatus(), QStringLiteral("passing"));
    QCOMPARE(subject.reviewStatus(), QStringLiteral("approved"));
    QVERIFY(changed.count() >= 2);
    QCOMPARE(consoleLinesStartingWith({QStringLiteral(">>> Refreshing"), QStringLiteral("Updated PR details")}),
        (QStringList {QStringLiteral(">>> Refreshing pull request statuses..."),
            QStringLiteral("Updated PR details for Pull 1: CI=passing, Review=approved")}));
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Refreshed 1 pull request statuses at ") + now());

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
        addPullRequest(QString::number(number), number, QStringLiteral("2026-12-0%1T10:00:00Z").arg(number));
        m_world->server().removeResource(
            QStringLiteral("/repos/") + repository + QStringLiteral("/pulls/") + QString::number(number));
    }
    auto viewModel = start();
    waitForSync(*viewModel);
    QVERIFY(waitUntil([&] { return !viewModel->hasRequestsInFlight(); }));
    m_world->console().clear();
    runStatusRefresh(*viewModel);

    QCOMPARE(consoleLinesStartingWith({QStringLiteral("Error fetching state for ")}).size(), 3);
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Refreshed 3 pull request statuses at ") + now());
    QCOMPARE(viewModel->notifications().first()->subject().state(), std::nullopt);
}

void TestNotificationsViewModel::refreshWithoutPullRequestsSendsNothing()
{
    m_world->signIn(token);
    auto viewModel = start();
    waitForSync(*viewModel);
    m_world->server().clearRequests();
    m_world->console().clear();
    m_world->scheduler().advance(500ms);
    QCOMPARE(m_world->console().lines(),
        (QStringList {QStringLiteral(">>> Refreshing pull request statuses..."),
            QStringLiteral("No pull request notifications to refresh")}));
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("No pull request notifications found at ") + now());
    QVERIFY(!viewModel->isLoading());
    QVERIFY(!viewModel->hasRequestsInFlight());
}

void TestNotificationsViewModel::markCompletedReadSendsOnePatchPerCompletedThread()
{
    m_world->signIn(token);
    QList<NotificationPtr> cache;
    const QStringList states {QStringLiteral("closed"), QStringLiteral("merged"), QStringLiteral("resolved"),
        QStringLiteral("Closed"), QStringLiteral("open")};
    for (qsizetype i = 0; i < states.size(); ++i) {
        NotificationPtr thread
            = cachedThread(QString::number(100 + i), QStringLiteral("Issue"), QStringLiteral("2026-12-01T10:00:00Z"));
        thread->subject().setState(states.at(i));
        cache << thread;
        m_world->server().addNotification(m_world->server().payloads().thread(
            {.id = thread->id(), .updatedAt = QStringLiteral("2020-01-01T00:00:00Z")}));
    }
    cache << cachedThread(QStringLiteral("200"), QStringLiteral("Issue"), QStringLiteral("2026-12-01T10:00:00Z"));
    persistence().save(cache, PreferenceKeys::notificationsCacheKey);

    auto viewModel = start();
    waitForSync(*viewModel);
    m_world->console().clear();
    viewModel->markCompletedAsRead();
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Marking 3 completed notifications as read..."));
    QVERIFY(waitUntil([&] { return viewModel->notifications().size() == 3; }));
    QCOMPARE(m_world->server().requestsUnder(QStringLiteral("/notifications/threads/")).size(), 3);
    QCOMPARE(ids(viewModel->notifications()),
        (QStringList {QStringLiteral("103"), QStringLiteral("104"), QStringLiteral("200")}));
    QCOMPARE(m_world->console().lines().first(), QStringLiteral(">>> Marking completed notifications as read..."));

    viewModel->markCompletedAsRead();
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Marking 0 completed notifications as read..."));
    QVERIFY(!viewModel->hasRequestsInFlight());
}

void TestNotificationsViewModel::failedMarkReadKeepsTheThread()
{
    m_world->signIn(token);
    persistence().save(QList<NotificationPtr> {cachedThread(
                           QStringLiteral("9"), QStringLiteral("Issue"), QStringLiteral("2026-12-01T10:00:00Z"))},
        PreferenceKeys::notificationsCacheKey);
    m_world->server().injectFault(FaultTarget::path(QStringLiteral("/notifications/threads/9")),
        Fault::reply(500, QByteArrayLiteral("{\"message\":\"Server Error\"}")));
    auto viewModel = start();
    waitForSync(*viewModel);
    viewModel->markAsRead(viewModel->notifications().first());
    QVERIFY(waitUntil(
        [&] { return !m_world->console().linesStartingWith(QStringLiteral("Error marking notification")).isEmpty(); }));
    QCOMPARE(m_world->console().linesStartingWith(QStringLiteral("Error marking notification")),
        QStringList {QStringLiteral("Error marking notification as read: GitHub answered HTTP 500")});
    QCOMPARE(ids(viewModel->notifications()), QStringList {QStringLiteral("9")});
    QVERIFY(viewModel->readNotificationIds().isEmpty());
}

void TestNotificationsViewModel::stopWatchingIsReappliedAfterSyncsAndExpiresAfterThirtyDays()
{
    m_world->signIn(token);
    const GitHubPayloads payloads = m_world->server().payloads();
    m_world->server().addNotification(payloads.thread(
        {.id = QStringLiteral("1"), .number = 42, .updatedAt = QStringLiteral("2026-12-01T10:00:00Z")}));
    auto viewModel = start();
    waitForSync(*viewModel);
    const NotificationPtr thread = viewModel->notifications().first();
    const QString subjectUrl = *thread->subject().url();

    viewModel->stopWatching(thread);
    QCOMPARE(viewModel->stoppedWatchingSubjects().value(subjectUrl), m_world->scheduler().now());
    QVERIFY(waitUntil([&] { return viewModel->notifications().isEmpty(); }));
    QCOMPARE(
        persistence().loadDates(PreferenceKeys::stoppedWatchingKey)->value(subjectUrl), m_world->scheduler().now());

    // A new thread about the same subject comes in: it is marked read again.
    m_world->scheduler().advance(std::chrono::hours(24 * 29));
    m_world->server().addNotification(payloads.thread(
        {.id = QStringLiteral("2"), .number = 42, .updatedAt = QStringLiteral("2026-12-06T10:00:00Z")}));
    m_world->server().clearRequests();
    viewModel->syncNotifications();
    waitForSync(*viewModel);
    QVERIFY(waitUntil([&] { return viewModel->notifications().isEmpty(); }));
    QCOMPARE(m_world->server().requestsTo(QStringLiteral("/notifications/threads/2")).size(), 1);
    viewModel.reset();

    // Thirty days after the mark it is dropped at start-up and no longer applied.
    m_world->scheduler().advance(std::chrono::hours(24));
    m_world->server().addNotification(payloads.thread(
        {.id = QStringLiteral("3"), .number = 42, .updatedAt = QStringLiteral("2027-01-04T10:00:00Z")}));
    m_world->server().clearRequests();
    viewModel = start();
    QVERIFY(viewModel->stoppedWatchingSubjects().isEmpty());
    QVERIFY(persistence().loadDates(PreferenceKeys::stoppedWatchingKey)->isEmpty());
    waitForSync(*viewModel);
    QCOMPARE(ids(viewModel->notifications()), QStringList {QStringLiteral("3")});
    QVERIFY(m_world->server().requestsUnder(QStringLiteral("/notifications/threads/")).isEmpty());
}

void TestNotificationsViewModel::favouritesToggleAndPersist()
{
    m_world->signIn(token);
    persistence().save(QList<NotificationPtr> {cachedThread(
                           QStringLiteral("1"), QStringLiteral("Issue"), QStringLiteral("2026-12-01T10:00:00Z"))},
        PreferenceKeys::notificationsCacheKey);
    auto viewModel = start();
    const NotificationPtr thread = viewModel->notifications().first();
    viewModel->toggleFavorite(thread);
    QVERIFY(viewModel->isFavorite(thread));
    QCOMPARE(ids(*persistence().loadNotifications(PreferenceKeys::favoritesKey)), QStringList {QStringLiteral("1")});
    viewModel->toggleFavorite(thread);
    QVERIFY(!viewModel->isFavorite(thread));
    QVERIFY(persistence().loadNotifications(PreferenceKeys::favoritesKey)->isEmpty());

    viewModel->toggleFavorite(thread);
    waitForSync(*viewModel);
    viewModel.reset();
    viewModel = start();
    QCOMPARE(ids(viewModel->favorites()), QStringList {QStringLiteral("1")});
}

void TestNotificationsViewModel::autoReloadSwitchesPrintsAndPersists()
{
    m_world->signIn(token);
    auto viewModel = start();
    waitForSync(*viewModel);
    m_world->scheduler().advance(3s);
    m_world->console().clear();

    viewModel->setAutoReload(true);
    QCOMPARE(m_world->console().take(),
        (QStringList {QStringLiteral(">>> Auto-reload disabled"), QStringLiteral(">>> Auto-reload enabled")}));
    QVERIFY(m_world->environment().preferences->boolValue(PreferenceKeys::autoReload));
    m_world->scheduler().advance(299s);
    QVERIFY(m_world->console().lines().isEmpty());
    m_world->scheduler().advance(1s);
    QCOMPARE(m_world->console().lines().mid(0, 3),
        (QStringList {QStringLiteral("Auto-reload triggered at 2026-12-05 22:21:40 +0000"),
            QStringLiteral(">>> Auto-reload: Triggering scheduled sync"),
            QStringLiteral(">>> Fetching notifications...")}));
    waitForSync(*viewModel);

    // A stored switch restarts the timer on the next start.
    viewModel.reset();
    m_world->console().clear();
    viewModel = start();
    QVERIFY(viewModel->autoReload());
    QCOMPARE(m_world->console().lines().mid(0, 2),
        (QStringList {QStringLiteral(">>> Auto-reload disabled"), QStringLiteral(">>> Auto-reload enabled")}));
    waitForSync(*viewModel);
    m_world->scheduler().advance(3s);

    m_world->console().clear();
    viewModel->setAutoReload(false);
    viewModel->setAutoReload(false);
    QCOMPARE(m_world->console().take(),
        (QStringList {QStringLiteral(">>> Auto-reload disabled"), QStringLiteral(">>> Auto-reload disabled")}));
    QVERIFY(!m_world->environment().preferences->boolValue(PreferenceKeys::autoReload));
    m_world->scheduler().advance(600s);
    QVERIFY(m_world->console().lines().isEmpty());
}

void TestNotificationsViewModel::destroyedControllerIgnoresRepliesButFinishesHeldSteps()
{
    m_world->signIn(token);
    addPullRequest(QStringLiteral("1"), 1, QStringLiteral("2026-12-01T10:00:00Z"));

    // Dropped before its reply: the reply changes nothing and prints nothing.
    {
        auto viewModel = start();
        const QPointer<NotificationsViewModel> watched(viewModel.get());
        viewModel.reset();
        QVERIFY(watched.isNull());
    }
    m_world->scheduler().advance(31s);
    QVERIFY(m_world->console().linesStartingWith(QStringLiteral("⚠️")).isEmpty());

    // Dropped after a successful sync: the status refresh and the highlight clearing
    // it scheduled still run, then the controller goes.
    auto viewModel = start();
    waitForSync(*viewModel);
    QCOMPARE(m_world->console().lines().count(QStringLiteral("Processed 1 new notifications")), 1);
    const QPointer<NotificationsViewModel> watched(viewModel.get());
    viewModel.reset();
    QVERIFY(!watched.isNull());
    m_world->console().clear();
    m_world->scheduler().advance(500ms);
    QCOMPARE(m_world->console().lines().first(), QStringLiteral(">>> Refreshing pull request statuses..."));
    QVERIFY(!watched.isNull());
    m_world->scheduler().advance(3s);
    QVERIFY(watched.isNull());
    m_world->scheduler().advance(30s);
    QVERIFY(m_world->console().linesStartingWith(QStringLiteral("⚠️")).isEmpty());
}

QTEST_GUILESS_MAIN(TestNotificationsViewModel)
#include "tst_notificationsviewmodel.moc"

#include "GitHubTestEnvironment.h"
#include "Wait.h"
#include "assignments/AssignmentsViewModel.h"
#include "core/DateTexts.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace {

const QString token = QStringLiteral("ghp_assignments");
const QString repository = QStringLiteral("octocat/Hello-World");
const QString repoPath = QStringLiteral("/repos/octocat/Hello-World");

QList<qint64> ids(const QList<IssuePtr>& issues)
{
    QList<qint64> result;
    for (const IssuePtr& issue : issues)
        result << issue->id();
    return result;
}

QByteArray jsonArray(const QList<QJsonObject>& objects)
{
    QJsonArray array;
    for (const QJsonObject& object : objects)
        array.append(object);
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QList<IssuePtr> issuesFrom(const QList<QJsonObject>& objects)
{
    return std::get<QList<IssuePtr>>(Issue::decodeList(jsonArray(objects)));
}

} // namespace

class TestAssignmentsViewModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void syncFailure_data();
    void syncFailure();
    void firstSyncMergesHighlightsAndAsksNextFromWhenItAsked();
    void listedRecordsKeepTheirFieldsUntilTheRefresh();
    void refreshOfAnEmptyListSendsNothing();
    void refreshReadsEveryItemAndFallsBackToTheItemRequest();
    void resyncRefreshesListedItemsThenSyncs();
    void resyncOfAnEmptyListIsAPlainSync();
    void archiveButtonHonoursStarsAndArchiveSurvivesRestarts();
    void addingAPullRequestReadsItsIssueResource();
    void addingFails_data();
    void addingFails();
    void addingAndRefreshingUnderAnEnterpriseBase();
    void aToastShownMeanwhileIsClearedWithTheFirst();
    void autoReloadSwitchesPrintsAndPersists();
    void destroyedControllerIgnoresRepliesButFinishesHeldSteps();

private:
    std::shared_ptr<AssignmentsViewModel> start();
    void waitForSync(AssignmentsViewModel& viewModel);
    // Runs the refresh that follows a sync and waits until every request it started ended.
    void runStatusRefresh(AssignmentsViewModel& viewModel);
    QJsonObject issue(qint64 id, const QString& title = QStringLiteral("Found a bug"), bool pullRequest = false) const;
    void cache(const QList<QJsonObject>& issues) const;
    QString webUrl(const QString& path) const { return m_world->server().webBaseUrl().toString() + path; }
    QString now() const { return mediumDateTimeText(m_world->scheduler().now()); }
    PersistenceService persistence() const { return PersistenceService(m_world->environment()); }
    QStringList sortedLinesStartingWith(const QStringList& prefixes) const;

    std::unique_ptr<GitHubTestEnvironment> m_world;
};

void TestAssignmentsViewModel::init()
{
    m_world = std::make_unique<GitHubTestEnvironment>();
}

void TestAssignmentsViewModel::cleanup()
{
    m_world.reset();
}

std::shared_ptr<AssignmentsViewModel> TestAssignmentsViewModel::start()
{
    return AssignmentsViewModel::create(m_world->environment());
}

void TestAssignmentsViewModel::waitForSync(AssignmentsViewModel& viewModel)
{
    QSignalSpy finished(&viewModel, &AssignmentsViewModel::syncFinished);
    QVERIFY(finished.wait(10000));
}

void TestAssignmentsViewModel::runStatusRefresh(AssignmentsViewModel& viewModel)
{
    QSignalSpy started(&viewModel, &AssignmentsViewModel::statusRefreshStarted);
    m_world->scheduler().advance(500ms);
    QCOMPARE(started.count(), 1);
    QVERIFY(waitUntil([&] { return !viewModel.hasRequestsInFlight(); }));
    QCoreApplication::processEvents();
}

QJsonObject TestAssignmentsViewModel::issue(qint64 id, const QString& title, bool pullRequest) const
{
    return m_world->server().payloads().issue({.id = id,
        .repository = repository,
        .number = static_cast<int>(id),
        .title = title,
        .pullRequest = pullRequest,
        .updatedAt = QStringLiteral("2026-12-0%1T10:00:00Z").arg(id % 5 + 1)});
}

void TestAssignmentsViewModel::cache(const QList<QJsonObject>& issues) const
{
    persistence().save(issuesFrom(issues), PreferenceKeys::issuesCacheKey);
}

QStringList TestAssignmentsViewModel::sortedLinesStartingWith(const QStringList& prefixes) const
{
    QStringList lines;
    for (const QString& line : m_world->console().lines()) {
        if (std::any_of(prefixes.begin(), prefixes.end(), [&](const QString& p) { return line.startsWith(p); }))
            lines << line;
    }
    lines.sort();
    return lines;
}

void TestAssignmentsViewModel::syncFailure_data()
{
    QTest::addColumn<QString>("storedToken"); // empty: nothing stored
    QTest::addColumn<bool>("serverFails");
    QTest::addColumn<QString>("tokenLine");
    QTest::addColumn<SyncOutcome>("outcome");
    QTest::addColumn<QString>("errorLine");

    const QString unreadable = QStringLiteral("Error fetching assignments: The data from GitHub could not be read: "
                                              "Expected to decode Array but found an object instead. (at [])");
    QTest::newRow("no token") << QString() << false << QStringLiteral("No token found in Keychain or UserDefaults")
                              << SyncOutcome::NeedsSignIn
                              << QStringLiteral(
                                     "Error fetching assignments: No GitHub token available; please sign in");
    QTest::newRow("revoked token answered 401")
        << QStringLiteral("ghp_revoked") << false
        << QStringLiteral("Retrieved token from Keychain successfully (length: 11)") << SyncOutcome::NeedsSignIn
        << unreadable;
    QTest::newRow("server error") << token << true
                                  << QStringLiteral("Retrieved token from Keychain successfully (length: 15)")
                                  << SyncOutcome::Failed << unreadable;
}

void TestAssignmentsViewModel::syncFailure()
{
    QFETCH(QString, storedToken);
    QFETCH(bool, serverFails);
    QFETCH(QString, tokenLine);
    QFETCH(SyncOutcome, outcome);
    QFETCH(QString, errorLine);
    if (!storedToken.isEmpty()) {
        m_world->signIn(storedToken);
        m_world->server().setToken(token);
    }
    if (serverFails)
        m_world->server().injectFault(FaultTarget::path(QStringLiteral("/issues")),
            Fault::reply(502, QByteArrayLiteral("{\"message\":\"Server Error\"}")));

    auto viewModel = start();
    QCOMPARE(m_world->console().lines(),
        (QStringList {QStringLiteral(">>> Auto-reload disabled"), QStringLiteral(">>> Fetching assignments..."),
            tokenLine, QStringLiteral("Loaded 0 issues from cache.")}));
    QSignalSpy finished(viewModel.get(), &AssignmentsViewModel::syncFinished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().value<SyncOutcome>(), outcome);
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Sync failed at ") + now());
    QCOMPARE(viewModel->needsToken(), outcome == SyncOutcome::NeedsSignIn);
    QVERIFY(!viewModel->isLoading());
    QVERIFY(viewModel->issues().isEmpty());
    QCOMPARE(m_world->console().lines().last(), errorLine);
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDateAssignments), std::nullopt);
    // No refresh follows a failed sync.
    m_world->scheduler().advance(1s);
    QVERIFY(!m_world->console().lines().contains(QStringLiteral(">>> Refreshing assignment statuses...")));
}

void TestAssignmentsViewModel::firstSyncMergesHighlightsAndAsksNextFromWhenItAsked()
{
    m_world->signIn(token);
    m_world->server().addAssignedIssue(issue(1));
    m_world->server().addAssignedIssue(issue(2, QStringLiteral("Teach the parser"), true));
    m_world->server().injectFault(FaultTarget::path(QStringLiteral("/issues")), Fault::delay(100ms));

    auto viewModel = start();
    const QDateTime sent = m_world->scheduler().now();
    QVERIFY(viewModel->isLoading());
    QSignalSpy status(viewModel.get(), &AssignmentsViewModel::statusMessageChanged);
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Syncing assignments at ") + now() + QStringLiteral("..."));
    // Time moves on while the reply is on its way.
    m_world->scheduler().advance(20s);
    QStringList statusLines;
    connect(viewModel.get(), &AssignmentsViewModel::statusMessageChanged, this,
        [&] { statusLines << viewModel->statusMessage(); });
    waitForSync(*viewModel);

    QCOMPARE(
        m_world->server().requestsTo(QStringLiteral("/issues")).first().request.queryValue(QStringLiteral("since")),
        QStringLiteral("2025-12-05T22:16:37Z"));
    QCOMPARE(statusLines,
        (QStringList {
            QStringLiteral("Synced 2 assignments at ") + now(), QStringLiteral("Sync completed at ") + now()}));
    QVERIFY(m_world->console().lines().contains(QStringLiteral("Processed 2 new assignments")));
    QCOMPARE(ids(viewModel->issues()), (QList<qint64> {2, 1}));
    QCOMPARE(viewModel->newIssueIds(), (QSet<qint64> {1, 2}));
    QVERIFY(!viewModel->isLoading());
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDateAssignments), sent);

    m_world->scheduler().advance(2999ms);
    QCOMPARE(viewModel->newIssueIds().size(), 2);
    m_world->scheduler().advance(1ms);
    QVERIFY(viewModel->newIssueIds().isEmpty());
    QVERIFY(waitUntil([&] { return !viewModel->hasRequestsInFlight(); }));

    viewModel->syncAssignments();
    waitForSync(*viewModel);
    QCOMPARE(m_world->server().requestsTo(QStringLiteral("/issues")).last().request.queryValue(QStringLiteral("since")),
        sent.toString(Qt::ISODate));
}

void TestAssignmentsViewModel::listedRecordsKeepTheirFieldsUntilTheRefresh()
{
    m_world->signIn(token);
    cache({issue(1, QStringLiteral("Cached title")), issue(2)});
    const QJsonObject renamed = issue(1, QStringLiteral("Server title"));
    // Every id is listed already, and one comes twice.
    m_world->server().injectFault(
        FaultTarget::path(QStringLiteral("/issues")), Fault::reply(200, jsonArray({renamed, issue(2), renamed})));
    m_world->server().setResource(repoPath + QStringLiteral("/issues/1"), renamed);
    m_world->server().setResource(repoPath + QStringLiteral("/issues/2"), issue(2));

    auto viewModel = start();
    const IssuePtr cached = viewModel->issues().first();
    waitForSync(*viewModel);
    QCOMPARE(ids(viewModel->issues()), (QList<qint64> {1, 2}));
    QVERIFY(viewModel->newIssueIds().isEmpty());
    QCOMPARE(viewModel->issues().first(), cached);
    QCOMPARE(cached->title(), QStringLiteral("Cached title"));

    QSignalSpy changed(viewModel.get(), &AssignmentsViewModel::changed);
    runStatusRefresh(*viewModel);
    QCOMPARE(cached->title(), QStringLiteral("Server title"));
    QCOMPARE(changed.count(), 2);
    QVERIFY(m_world->console().lines().contains(QStringLiteral("Updated assignment status: Server title - open")));
}

void TestAssignmentsViewModel::refreshOfAnEmptyListSendsNothing()
{
    m_world->signIn(token);
    auto viewModel = start();
    waitForSync(*viewModel);
    m_world->server().clearRequests();
    m_world->console().clear();
    runStatusRefresh(*viewModel);
    QCOMPARE(m_world->console().lines(), QStringList {QStringLiteral(">>> Refreshing assignment statuses...")});
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("No assignments found to refresh at ") + now());
    QVERIFY(!viewModel->isLoading());
    QVERIFY(m_world->server().requests().isEmpty());
}

void TestAssignmentsViewModel::refreshReadsEveryItemAndFallsBackToTheItemRequest()
{
    m_world->signIn(token);
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    QJsonObject foreign = issue(6, QStringLiteral("Elsewhere"));
    foreign.insert(QStringLiteral("html_url"), QStringLiteral("https://example.org/octocat/Hello-World/issues/6"));
    cache({issue(1), issue(2, QStringLiteral("Merged one"), true), issue(3, QStringLiteral("Closed one"), true),
        issue(4, QStringLiteral("Flaky one"), true), issue(5, QStringLiteral("Gone one"), true), foreign});

    QJsonObject moved = issue(1, QStringLiteral("Renamed issue"));
    moved.insert(QStringLiteral("state"), QStringLiteral("closed"));
    moved.insert(QStringLiteral("updated_at"), QStringLiteral("2026-12-05T20:00:00Z"));
    moved.insert(QStringLiteral("repository"), payloads.repository(QStringLiteral("octocat/Spoon-Knife")));
    server.setResource(repoPath + QStringLiteral("/issues/1"), moved);
    server.setResource(repoPath + QStringLiteral("/pulls/2"),
        payloads.pullRequest({.id = 2,
            .repository = repository,
            .number = 2,
            .merged = true,
            .mergedAt = QStringLiteral("2026-12-04T08:00:00Z")}));
    server.setResource(repoPath + QStringLiteral("/pulls/3"),
        payloads.pullRequest({.id = 3, .repository = repository, .number = 3, .state = QStringLiteral("closed")}));
    // The pull request read fails once; the item read as an issue answers.
    QJsonObject retitled = issue(4, QStringLiteral("Retitled"), true);
    retitled.insert(QStringLiteral("state"), QStringLiteral("closed"));
    server.setResource(repoPath + QStringLiteral("/issues/4"), retitled);
    server.injectFault(FaultTarget::path(repoPath + QStringLiteral("/pulls/4")),
        Fault::reply(502, QByteArrayLiteral("{\"message\":\"Server Error\"}")));

    auto viewModel = start();
    waitForSync(*viewModel);
    server.clearRequests();
    m_world->console().clear();
    QStringList statusLines;
    connect(viewModel.get(), &AssignmentsViewModel::statusMessageChanged, this,
        [&] { statusLines << viewModel->statusMessage(); });
    runStatusRefresh(*viewModel);

    QCOMPARE(statusLines,
        (QStringList {QStringLiteral("Refreshing assignment statuses at ") + now() + QStringLiteral("..."),
            QStringLiteral("Refreshed 6 assignment statuses at ") + now()}));
    QVERIFY(!viewModel->isLoading());
    const QString unreadable = QStringLiteral(
        "Error refreshing PR status: The data from GitHub could not be read: No value associated with key \"id\". "
        "(at [])");
    QCOMPARE(sortedLinesStartingWith({QStringLiteral("Updated"), QStringLiteral("Error")}),
        (QStringList {unreadable, unreadable, QStringLiteral("Updated PR status: Closed one - closed"),
            QStringLiteral("Updated PR status: Merged one - merged"),
            QStringLiteral("Updated assignment status: Renamed issue - closed"),
            QStringLiteral("Updated assignment status: Retitled - closed")}));
    QCOMPARE(server.requests().size(), 7);
    QVERIFY(server.requestsUnder(QStringLiteral("/repos/octocat/Hello-World/issues/6")).isEmpty());

    const QHash<qint64, IssuePtr> byId = [&] {
        QHash<qint64, IssuePtr> result;
        for (const IssuePtr& i : viewModel->issues())
            result.insert(i->id(), i);
        return result;
    }();
    QCOMPARE(byId[1]->title(), QStringLiteral("Renamed issue"));
    QCOMPARE(byId[1]->updatedAt(), QStringLiteral("2026-12-05T20:00:00Z"));
    QCOMPARE(byId[1]->repository()->fullName(), QStringLiteral("octocat/Spoon-Knife"));
    QCOMPARE(byId[2]->state(), QStringLiteral("merged"));
    QCOMPARE(byId[2]->pullRequest()->mergedAt(), QStringLiteral("2026-12-04T08:00:00Z"));
    QCOMPARE(byId[2]->pullRequest()->url(), issue(2, {}, true)[u"pull_request"][u"url"].toString());
    QCOMPARE(byId[3]->state(), QStringLiteral("closed"));
    QCOMPARE(byId[3]->displayState(), QStringLiteral("closed"));
    QCOMPARE(byId[4]->title(), QStringLiteral("Retitled"));
    QCOMPARE(byId[5]->state(), QStringLiteral("open"));

    // The cache follows within a second.
    m_world->scheduler().advance(1s);
    const QList<IssuePtr> cached = *persistence().loadIssues(PreferenceKeys::issuesCacheKey);
    QCOMPARE(cached.size(), 6);
    for (const IssuePtr& record : cached)
        QCOMPARE(*record, *byId[record->id()]);
}

void TestAssignmentsViewModel::resyncRefreshesListedItemsThenSyncs()
{
    m_world->signIn(token);
    m_world->server().setMaxAge(0);
    cache({issue(1)});
    m_world->server().setResource(repoPath + QStringLiteral("/issues/1"), issue(1));
    auto viewModel = start();
    waitForSync(*viewModel);
    runStatusRefresh(*viewModel);
    m_world->server().clearRequests();
    m_world->console().clear();

    viewModel->resyncAll();
    QVERIFY(viewModel->isLoading());
    QCOMPARE(viewModel->statusMessage(),
        QStringLiteral("Re-syncing assignments and statuses at ") + now() + QStringLiteral("..."));
    waitForSync(*viewModel);
    QCOMPARE(m_world->console().lines().mid(0, 4),
        (QStringList {QStringLiteral(">>> Re-syncing all data (assignments + statuses)..."),
            QStringLiteral(">>> Refreshing existing assignment statuses..."),
            QStringLiteral("Updated assignment status: Found a bug - open"),
            QStringLiteral(">>> Fetching assignments...")}));
    QCOMPARE(m_world->server().requests().size(), 2);
    QCOMPARE(m_world->server().requests().last().path, QStringLiteral("/issues"));
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Sync completed at ") + now());
}

void TestAssignmentsViewModel::resyncOfAnEmptyListIsAPlainSync()
{
    m_world->signIn(token);
    auto viewModel = start();
    waitForSync(*viewModel);
    m_world->console().clear();
    viewModel->resyncAll();
    QCOMPARE(m_world->console().lines(),
        (QStringList {QStringLiteral(">>> Re-syncing all data (assignments + statuses)..."),
            QStringLiteral(">>> Fetching assignments...")}));
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Syncing assignments at ") + now() + QStringLiteral("..."));
    waitForSync(*viewModel);
    QCOMPARE(m_world->server().requestsTo(QStringLiteral("/issues")).size(), 2);
}

void TestAssignmentsViewModel::archiveButtonHonoursStarsAndArchiveSurvivesRestarts()
{
    cache({issue(1), issue(2)});
    auto viewModel = start();
    const IssuePtr first = viewModel->issues().first();

    viewModel->toggleFavorite(first);
    viewModel->toggleArchived(first);
    QCOMPARE(viewModel->toastMessage(), QStringLiteral("Cannot archive a favorited assignment."));
    QCOMPARE(ids(viewModel->filteredIssues()), (QList<qint64> {2, 1}));
    QVERIFY(viewModel->archivedIssues().isEmpty());

    viewModel->toggleFavorite(first);
    viewModel->toggleArchived(first);
    QCOMPARE(ids(viewModel->filteredIssues()), QList<qint64> {2});
    QCOMPARE(ids(*persistence().loadIssues(PreferenceKeys::archivedIssuesKey)), QList<qint64> {1});
    QVERIFY(
        m_world->console().lines().contains(QStringLiteral("Assignment marked as read and archived successfully.")));
    viewModel->setShowOnlyFavorites(true);
    QVERIFY(viewModel->filteredIssues().isEmpty());

    // The cache still holds the item; the archive keeps it hidden after a restart.
    viewModel.reset();
    viewModel = start();
    QCOMPARE(ids(viewModel->issues()), (QList<qint64> {1, 2}));
    QCOMPARE(ids(viewModel->filteredIssues()), QList<qint64> {2});
    QVERIFY(!viewModel->showOnlyFavorites());

    viewModel->toggleArchived(viewModel->issues().first());
    QVERIFY(m_world->console().lines().contains(QStringLiteral("Assignment unarchived successfully.")));
    QCOMPARE(ids(viewModel->filteredIssues()), (QList<qint64> {2, 1}));
    viewModel.reset();
    viewModel = start();
    QVERIFY(viewModel->archivedIssues().isEmpty());
    QCOMPARE(ids(viewModel->filteredIssues()), (QList<qint64> {2, 1}));
}

void TestAssignmentsViewModel::addingAPullRequestReadsItsIssueResource()
{
    m_world->signIn(token);
    // What GET …/issues/7 says of a pull request, without its repository object: the
    // pull request's own resource would carry another id.
    QJsonObject pull = issue(7, QStringLiteral("Teach the parser"), true);
    pull.remove(QStringLiteral("repository"));
    m_world->server().setResource(repoPath + QStringLiteral("/issues/7"), pull);
    auto viewModel = start();
    waitForSync(*viewModel);
    m_world->scheduler().advance(3s);
    m_world->server().clearRequests();

    viewModel->addAssignment(webUrl(QStringLiteral("/octocat/Hello-World/pull/7")));
    QVERIFY(waitUntil([&] { return !viewModel->toastMessage().isNull(); }));
    QCOMPARE(viewModel->toastMessage(), QStringLiteral("Assignment added successfully"));
    QCOMPARE(m_world->server().requests().size(), 1);
    QCOMPARE(m_world->server().requests().first().path, repoPath + QStringLiteral("/issues/7"));
    QCOMPARE(ids(viewModel->issues()), QList<qint64> {7});
    QCOMPARE(viewModel->issues().first()->repository(), Repository(repository));
    QCOMPARE(viewModel->newIssueIds(), QSet<qint64> {7});

    m_world->scheduler().advance(3s);
    QVERIFY(viewModel->newIssueIds().isEmpty());
    QVERIFY(viewModel->toastMessage().isNull());
    QCOMPARE(ids(*persistence().loadIssues(PreferenceKeys::issuesCacheKey)), QList<qint64> {7});

    viewModel->addAssignment(webUrl(QStringLiteral("/octocat/Hello-World/pull/7")));
    QVERIFY(waitUntil([&] { return !viewModel->toastMessage().isNull(); }));
    QCOMPARE(viewModel->toastMessage(), QStringLiteral("Assignment already exists in the list"));
    QCOMPARE(viewModel->issues().size(), 1);

    // The assigned list names it by the same id: a sync does not list it twice.
    m_world->server().addAssignedIssue(pull);
    viewModel->syncAssignments();
    waitForSync(*viewModel);
    QCOMPARE(ids(viewModel->issues()), QList<qint64> {7});
}

void TestAssignmentsViewModel::addingFails_data()
{
    QTest::addColumn<QString>("storedToken"); // empty: nothing stored
    QTest::addColumn<QString>("path"); // on the fake GitHub's web base, or a whole address
    QTest::addColumn<QString>("toast"); // empty: none
    QTest::addColumn<bool>("needsToken");

    QTest::newRow("not a URL") << token << QStringLiteral("not a url") << QStringLiteral("Invalid URL") << false;
    QTest::newRow("foreign host") << token << QStringLiteral("foreign") << QStringLiteral("Invalid URL") << false;
    QTest::newRow("missing item") << token << QStringLiteral("/octocat/Hello-World/issues/404")
                                  << QStringLiteral("Error fetching assignment: The data from GitHub could not be "
                                                    "read: No value associated with key \"id\". (at [])")
                                  << false;
    QTest::newRow("no token") << QString() << QStringLiteral("/octocat/Hello-World/issues/1") << QString() << true;
    QTest::newRow("revoked token") << QStringLiteral("ghp_revoked") << QStringLiteral("/octocat/Hello-World/issues/1")
                                   << QString() << true;
}

void TestAssignmentsViewModel::addingFails()
{
    QFETCH(QString, storedToken);
    QFETCH(QString, path);
    QFETCH(QString, toast);
    QFETCH(bool, needsToken);
    if (!storedToken.isEmpty())
        m_world->signIn(storedToken);
    m_world->server().setToken(token);
    m_world->server().setResource(repoPath + QStringLiteral("/issues/1"), issue(1));
    // Another server, as a pasted address of a host that must never see the token.
    FakeGitHub elsewhere;
    QVERIFY(elsewhere.listen());
    const QString address = path == u"foreign"
        ? elsewhere.webBaseUrl().toString() + QStringLiteral("/octocat/Hello-World/issues/1")
        : path.startsWith(u'/') ? webUrl(path)
                                : path;

    auto viewModel = start();
    waitForSync(*viewModel);
    viewModel->setNeedsToken(false);
    m_world->server().clearRequests();

    viewModel->addAssignment(address);
    QVERIFY(waitUntil([&] { return !viewModel->toastMessage().isNull() || viewModel->needsToken(); }));
    QCOMPARE(viewModel->toastMessage(), toast.isEmpty() ? QString() : toast);
    QCOMPARE(viewModel->needsToken(), needsToken);
    QVERIFY(viewModel->issues().isEmpty());
    QCOMPARE(m_world->server().requests().size(), path.startsWith(u'/') && !storedToken.isEmpty() ? 1 : 0);
    QVERIFY(elsewhere.requests().isEmpty());
}

void TestAssignmentsViewModel::addingAndRefreshingUnderAnEnterpriseBase()
{
    m_world = std::make_unique<GitHubTestEnvironment>(QStringLiteral("/api/v3"));
    m_world->signIn(token);
    m_world->server().setMaxAge(0);
    m_world->server().setResource(repoPath + QStringLiteral("/issues/3"), issue(3));
    auto viewModel = start();
    waitForSync(*viewModel);

    viewModel->addAssignment(webUrl(QStringLiteral("/octocat/Hello-World/issues/3")));
    QVERIFY(waitUntil([&] { return !viewModel->toastMessage().isNull(); }));
    QCOMPARE(viewModel->toastMessage(), QStringLiteral("Assignment added successfully"));
    QCOMPARE(m_world->server().requests().last().request.target,
        QByteArrayLiteral("/api/v3/repos/octocat/Hello-World/issues/3"));

    m_world->server().clearRequests();
    viewModel->refreshAssignmentStatuses();
    QVERIFY(waitUntil([&] { return !viewModel->isLoading(); }));
    QCOMPARE(viewModel->statusMessage(), QStringLiteral("Refreshed 1 assignment statuses at ") + now());
    QCOMPARE(m_world->server().requests().size(), 1);
}

void TestAssignmentsViewModel::aToastShownMeanwhileIsClearedWithTheFirst()
{
    auto viewModel = start();
    viewModel->showToast(QStringLiteral("first"));
    m_world->scheduler().advance(1s);
    viewModel->showToast(QStringLiteral("second"));
    m_world->scheduler().advance(1999ms);
    QCOMPARE(viewModel->toastMessage(), QStringLiteral("second"));
    m_world->scheduler().advance(1ms);
    QVERIFY(viewModel->toastMessage().isNull());
}

void TestAssignmentsViewModel::autoReloadSwitchesPrintsAndPersists()
{
    m_world->signIn(token);
    auto viewModel = start();
    waitForSync(*viewModel);
    m_world->scheduler().advance(3s);
    m_world->console().clear();

    viewModel->setAutoReload(true);
    QCOMPARE(m_world->console().take(),
        (QStringList {QStringLiteral(">>> Auto-reload disabled"), QStringLiteral(">>> Auto-reload enabled")}));
    QVERIFY(m_world->environment().preferences->boolValue(PreferenceKeys::autoReloadAssignments));
    m_world->scheduler().advance(299s);
    QVERIFY(m_world->console().lines().isEmpty());
    m_world->scheduler().advance(1s);
    QCOMPARE(m_world->console().lines(),
        (QStringList {QStringLiteral("Auto-reload triggered at 2026-12-05 22:21:40 +0000"),
            QStringLiteral(">>> Assignments auto-reload: Triggering scheduled sync"),
            QStringLiteral(">>> Fetching assignments..."),
            QStringLiteral("Retrieved token from Keychain successfully (length: 15)")}));
    waitForSync(*viewModel);

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
    QVERIFY(!m_world->environment().preferences->boolValue(PreferenceKeys::autoReloadAssignments));
    m_world->scheduler().advance(600s);
    QVERIFY(m_world->console().lines().isEmpty());
}

void TestAssignmentsViewModel::destroyedControllerIgnoresRepliesButFinishesHeldSteps()
{
    m_world->signIn(token);
    m_world->server().addAssignedIssue(issue(1));

    // Dropped before its reply: the reply changes nothing and prints nothing.
    m_world->server().injectFault(FaultTarget::path(QStringLiteral("/issues")), Fault::delay(100ms));
    {
        auto viewModel = start();
        viewModel->showToast(QStringLiteral("shown"));
        const QPointer<AssignmentsViewModel> watched(viewModel.get());
        viewModel.reset();
        QVERIFY(watched.isNull());
    }
    m_world->scheduler().advance(5s);
    QVERIFY(!m_world->console().lines().contains(QStringLiteral("Processed 1 new assignments")));
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDateAssignments), std::nullopt);

    // Dropped after a successful sync: the refresh and the highlight clearing it
    // scheduled still run, then the controller goes.
    auto viewModel = start();
    waitForSync(*viewModel);
    const QPointer<AssignmentsViewModel> watched(viewModel.get());
    viewModel.reset();
    QVERIFY(!watched.isNull());
    m_world->console().clear();
    m_world->scheduler().advance(500ms);
    QCOMPARE(m_world->console().lines().first(), QStringLiteral(">>> Refreshing assignment statuses..."));
    m_world->scheduler().advance(2500ms);
    QVERIFY(watched.isNull());
}

QTEST_GUILESS_MAIN(TestAssignmentsViewModel)
#include "tst_assignmentsviewmodel.moc"

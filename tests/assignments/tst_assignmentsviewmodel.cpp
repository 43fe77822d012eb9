#include "FeedSteps.h"
#include "GitHubTestEnvironment.h"
#include "TestData.h"
#include "Wait.h"
#include "assignments/AssignmentsViewModel.h"
#include "core/DateTexts.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace FeedSteps;

using TestData::ids;

namespace {

const QString token = u"ghp_assignments"_s;
const QString repository = u"octocat/Hello-World"_s;
const QString repoPath = u"/repos/octocat/Hello-World"_s;

QByteArray jsonArray(const QList<QJsonObject>& objects)
{
    QJsonArray array;
    for (const QJsonObject& object : objects)
        array.append(object);
    return TestData::compact(array);
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
    void emptyListRefreshSendsNothingAndResyncIsAPlainSync();
    void refreshReadsEveryItemAndFallsBackToTheItemRequest();
    void resyncRefreshesListedItemsThenSyncs();
    void archiveButtonHonoursStarsAndArchiveSurvivesRestarts();
    void selectionIsStarredAndArchivedAtOnce();
    void addingAPullRequestReadsItsIssueResource();
    void addingFails_data();
    void addingFails();
    void addingAndRefreshingUnderAnEnterpriseBase();
    void aToastShownMeanwhileIsClearedWithTheFirst();
    void autoReloadSwitchesPrintsAndPersists();
    void destroyedControllerIgnoresRepliesButFinishesHeldSteps();

private:
    std::shared_ptr<AssignmentsViewModel> start() { return AssignmentsViewModel::create(m_world->environment()); }
    QJsonObject issue(qint64 id, const QString& title = u"Found a bug"_s, bool pullRequest = false) const;
    void cache(const QList<QJsonObject>& issues) const;
    QString webUrl(const QString& path) const { return m_world->server().webBaseUrl().toString() + path; }
    QString now() const { return mediumDateTimeText(m_world->scheduler().now()); }
    PersistenceService persistence() const { return PersistenceService(m_world->environment()); }

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

QJsonObject TestAssignmentsViewModel::issue(qint64 id, const QString& title, bool pullRequest) const
{
    return m_world->server().payloads().issue({.id = id,
        .repository = repository,
        .number = static_cast<int>(id),
        .title = title,
        .pullRequest = pullRequest,
        .updatedAt = u"2026-12-0%1T10:00:00Z"_s.arg(id % 5 + 1)});
}

void TestAssignmentsViewModel::cache(const QList<QJsonObject>& issues) const
{
    persistence().save(TestData::decodedOrFatal(Issue::decodeList(jsonArray(issues))), PreferenceKeys::issuesCacheKey);
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
    QTest::newRow("no token") << QString() << false << u"No token found in Keychain or UserDefaults"_s
                              << SyncOutcome::NeedsSignIn
                              << QStringLiteral(
                                     "Error fetching assignments: No GitHub token available; please sign in");
    QTest::newRow("revoked token answered 401")
        << u"ghp_revoked"_s << false << u"Retrieved token from Keychain successfully (length: 11)"_s
        << SyncOutcome::NeedsSignIn << unreadable;
    QTest::newRow("server error") << token << true << u"Retrieved token from Keychain successfully (length: 15)"_s
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
        m_world->server().injectFault(
            FaultTarget::path(u"/issues"_s), Fault::reply(502, QByteArrayLiteral("{\"message\":\"Server Error\"}")));

    auto viewModel = start();
    QCOMPARE(m_world->console().lines(),
        (QStringList {u">>> Auto-reload disabled"_s, u">>> Fetching assignments..."_s, tokenLine,
            u"Loaded 0 issues from cache."_s}));
    QCOMPARE(waitForSync(*viewModel), outcome);
    QCOMPARE(viewModel->statusMessage(), u"Sync failed at "_s + now());
    QCOMPARE(viewModel->needsToken(), outcome == SyncOutcome::NeedsSignIn);
    QVERIFY(!viewModel->isLoading());
    QVERIFY(viewModel->issues().isEmpty());
    QCOMPARE(m_world->console().lines().last(), errorLine);
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDateAssignments), std::nullopt);
    // No refresh follows a failed sync.
    m_world->scheduler().advance(1s);
    QVERIFY(!m_world->console().lines().contains(u">>> Refreshing assignment statuses..."_s));
}

void TestAssignmentsViewModel::firstSyncMergesHighlightsAndAsksNextFromWhenItAsked()
{
    m_world->signIn(token);
    m_world->server().addAssignedIssue(issue(1));
    m_world->server().addAssignedIssue(issue(2, u"Teach the parser"_s, true));
    m_world->server().injectFault(FaultTarget::path(u"/issues"_s), Fault::delay(100ms));

    auto viewModel = start();
    const QDateTime sent = m_world->scheduler().now();
    QVERIFY(viewModel->isLoading());
    QSignalSpy status(viewModel.get(), &AssignmentsViewModel::statusMessageChanged);
    QCOMPARE(viewModel->statusMessage(), u"Syncing assignments at "_s + now() + u"..."_s);
    // Time moves on while the reply is on its way.
    m_world->scheduler().advance(20s);
    QStringList statusLines;
    connect(viewModel.get(), &AssignmentsViewModel::statusMessageChanged, this,
        [&] { statusLines << viewModel->statusMessage(); });
    QVERIFY(waitForSync(*viewModel));

    QCOMPARE(
        m_world->server().requestsTo(u"/issues"_s).first().request.queryValue(u"since"_s), u"2025-12-05T22:16:37Z"_s);
    QCOMPARE(statusLines, (QStringList {u"Synced 2 assignments at "_s + now(), u"Sync completed at "_s + now()}));
    QVERIFY(m_world->console().lines().contains(u"Processed 2 new assignments"_s));
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
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(
        m_world->server().requestsTo(u"/issues"_s).last().request.queryValue(u"since"_s), sent.toString(Qt::ISODate));
}

void TestAssignmentsViewModel::listedRecordsKeepTheirFieldsUntilTheRefresh()
{
    m_world->signIn(token);
    cache({issue(1, u"Cached title"_s), issue(2)});
    const QJsonObject renamed = issue(1, u"Server title"_s);
    // Every id is listed already, and one comes twice.
    m_world->server().injectFault(
        FaultTarget::path(u"/issues"_s), Fault::reply(200, jsonArray({renamed, issue(2), renamed})));
    m_world->server().setResource(repoPath + u"/issues/1"_s, renamed);
    m_world->server().setResource(repoPath + u"/issues/2"_s, issue(2));

    auto viewModel = start();
    const IssuePtr cached = viewModel->issues().first();
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(ids(viewModel->issues()), (QList<qint64> {1, 2}));
    QVERIFY(viewModel->newIssueIds().isEmpty());
    QCOMPARE(viewModel->issues().first(), cached);
    QCOMPARE(cached->title(), u"Cached title"_s);

    QSignalSpy changed(viewModel.get(), &AssignmentsViewModel::changed);
    QVERIFY(runStatusRefresh(m_world->scheduler(), *viewModel));
    QCOMPARE(cached->title(), u"Server title"_s);
    QCOMPARE(changed.count(), 2);
    QVERIFY(m_world->console().lines().contains(u"Updated assignment status: Server title - open"_s));
}

void TestAssignmentsViewModel::emptyListRefreshSendsNothingAndResyncIsAPlainSync()
{
    m_world->signIn(token);
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    m_world->server().clearRequests();
    m_world->console().clear();
    QVERIFY(runStatusRefresh(m_world->scheduler(), *viewModel));
    QCOMPARE(m_world->console().take(), QStringList {u">>> Refreshing assignment statuses..."_s});
    QCOMPARE(viewModel->statusMessage(), u"No assignments found to refresh at "_s + now());
    QVERIFY(!viewModel->isLoading());
    QVERIFY(m_world->server().requests().isEmpty());

    viewModel->resyncAll();
    QCOMPARE(m_world->console().lines(),
        (QStringList {u">>> Re-syncing all data (assignments + statuses)..."_s, u">>> Fetching assignments..."_s}));
    QCOMPARE(viewModel->statusMessage(), u"Syncing assignments at "_s + now() + u"..."_s);
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(m_world->server().requestsTo(u"/issues"_s).size(), 1);
}

void TestAssignmentsViewModel::refreshReadsEveryItemAndFallsBackToTheItemRequest()
{
    m_world->signIn(token);
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    QJsonObject foreign = issue(6, u"Elsewhere"_s);
    foreign.insert(u"html_url"_s, u"https://example.org/octocat/Hello-World/issues/6"_s);
    cache({issue(1), issue(2, u"Merged one"_s, true), issue(3, u"Closed one"_s, true), issue(4, u"Flaky one"_s, true),
        issue(5, u"Gone one"_s, true), foreign});

    QJsonObject moved = issue(1, u"Renamed issue"_s);
    moved.insert(u"state"_s, u"closed"_s);
    moved.insert(u"updated_at"_s, u"2026-12-05T20:00:00Z"_s);
    moved.insert(u"repository"_s, payloads.repository(u"octocat/Spoon-Knife"_s));
    server.setResource(repoPath + u"/issues/1"_s, moved);
    server.setResource(repoPath + u"/pulls/2"_s,
        payloads.pullRequest(
            {.id = 2, .repository = repository, .number = 2, .merged = true, .mergedAt = u"2026-12-04T08:00:00Z"_s}));
    server.setResource(repoPath + u"/pulls/3"_s,
        payloads.pullRequest({.id = 3, .repository = repository, .number = 3, .state = u"closed"_s}));
    // The pull request read fails once; the item read as an issue answers.
    QJsonObject retitled = issue(4, u"Retitled"_s, true);
    retitled.insert(u"state"_s, u"closed"_s);
    server.setResource(repoPath + u"/issues/4"_s, retitled);
    server.injectFault(FaultTarget::path(repoPath + u"/pulls/4"_s),
        Fault::reply(502, QByteArrayLiteral("{\"message\":\"Server Error\"}")));

    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    server.clearRequests();
    m_world->console().clear();
    QStringList statusLines;
    connect(viewModel.get(), &AssignmentsViewModel::statusMessageChanged, this,
        [&] { statusLines << viewModel->statusMessage(); });
    QVERIFY(runStatusRefresh(m_world->scheduler(), *viewModel));

    QCOMPARE(statusLines,
        (QStringList {u"Refreshing assignment statuses at "_s + now() + u"..."_s,
            u"Refreshed 6 assignment statuses at "_s + now()}));
    QVERIFY(!viewModel->isLoading());
    const QString unreadable = QStringLiteral(
        "Error refreshing PR status: The data from GitHub could not be read: No value associated with key \"id\". "
        "(at [])");
    QStringList lines = m_world->console().linesStartingWith(QStringList {u"Updated"_s, u"Error"_s});
    lines.sort();
    QCOMPARE(lines,
        (QStringList {unreadable, unreadable, u"Updated PR status: Closed one - closed"_s,
            u"Updated PR status: Merged one - merged"_s, u"Updated assignment status: Renamed issue - closed"_s,
            u"Updated assignment status: Retitled - closed"_s}));
    QCOMPARE(server.requests().size(), 7);
    QVERIFY(server.requestsUnder(u"/repos/octocat/Hello-World/issues/6"_s).isEmpty());

    const QHash<qint64, IssuePtr> byId = [&] {
        QHash<qint64, IssuePtr> result;
        for (const IssuePtr& i : viewModel->issues())
            result.insert(i->id(), i);
        return result;
    }();
    QCOMPARE(byId[1]->title(), u"Renamed issue"_s);
    QCOMPARE(byId[1]->updatedAt(), u"2026-12-05T20:00:00Z"_s);
    QCOMPARE(byId[1]->repository()->fullName(), u"octocat/Spoon-Knife"_s);
    QCOMPARE(byId[2]->state(), u"merged"_s);
    QCOMPARE(byId[2]->pullRequest()->mergedAt(), u"2026-12-04T08:00:00Z"_s);
    QCOMPARE(byId[2]->pullRequest()->url(), issue(2, {}, true)[u"pull_request"][u"url"].toString());
    QCOMPARE(byId[3]->state(), u"closed"_s);
    QCOMPARE(byId[3]->displayState(), u"closed"_s);
    QCOMPARE(byId[4]->title(), u"Retitled"_s);
    QCOMPARE(byId[5]->state(), u"open"_s);

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
    m_world->server().setResource(repoPath + u"/issues/1"_s, issue(1));
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    QVERIFY(runStatusRefresh(m_world->scheduler(), *viewModel));
    m_world->server().clearRequests();
    m_world->console().clear();

    viewModel->resyncAll();
    QVERIFY(viewModel->isLoading());
    QCOMPARE(viewModel->statusMessage(), u"Re-syncing assignments and statuses at "_s + now() + u"..."_s);
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(m_world->console().lines().mid(0, 4),
        (QStringList {u">>> Re-syncing all data (assignments + statuses)..."_s,
            u">>> Refreshing existing assignment statuses..."_s, u"Updated assignment status: Found a bug - open"_s,
            u">>> Fetching assignments..."_s}));
    QCOMPARE(m_world->server().requests().size(), 2);
    QCOMPARE(m_world->server().requests().last().path, u"/issues"_s);
    QCOMPARE(viewModel->statusMessage(), u"Sync completed at "_s + now());
}

void TestAssignmentsViewModel::archiveButtonHonoursStarsAndArchiveSurvivesRestarts()
{
    cache({issue(1), issue(2)});
    auto viewModel = start();
    const IssuePtr first = viewModel->issues().first();

    viewModel->toggleFavorite(first);
    viewModel->toggleArchived(first);
    QCOMPARE(viewModel->toastMessage(), u"Cannot archive a favorited assignment."_s);
    QCOMPARE(ids(viewModel->filteredIssues()), (QList<qint64> {2, 1}));
    QVERIFY(viewModel->archivedIssues().isEmpty());

    viewModel->toggleFavorite(first);
    viewModel->toggleArchived(first);
    QCOMPARE(ids(viewModel->filteredIssues()), QList<qint64> {2});
    QCOMPARE(ids(*persistence().loadIssues(PreferenceKeys::archivedIssuesKey)), QList<qint64> {1});
    QVERIFY(m_world->console().lines().contains(u"Assignment marked as read and archived successfully."_s));
    viewModel->setShowOnlyFavorites(true);
    QVERIFY(viewModel->filteredIssues().isEmpty());

    // The cache still holds the item; the archive keeps it hidden after a restart.
    viewModel.reset();
    viewModel = start();
    QCOMPARE(ids(viewModel->issues()), (QList<qint64> {1, 2}));
    QCOMPARE(ids(viewModel->filteredIssues()), QList<qint64> {2});
    QVERIFY(!viewModel->showOnlyFavorites());

    viewModel->toggleArchived(viewModel->issues().first());
    QVERIFY(m_world->console().lines().contains(u"Assignment unarchived successfully."_s));
    QCOMPARE(ids(viewModel->filteredIssues()), (QList<qint64> {2, 1}));
    viewModel.reset();
    viewModel = start();
    QVERIFY(viewModel->archivedIssues().isEmpty());
    QCOMPARE(ids(viewModel->filteredIssues()), (QList<qint64> {2, 1}));
}

void TestAssignmentsViewModel::selectionIsStarredAndArchivedAtOnce()
{
    cache({issue(1), issue(2), issue(3), issue(4)});
    auto viewModel = start();
    const QList<IssuePtr> all = viewModel->issues();
    QSignalSpy favoritesChanges(viewModel.get(), &AssignmentsViewModel::favoritesChanged);
    QSignalSpy issuesChanges(viewModel.get(), &AssignmentsViewModel::issuesChanged);

    viewModel->toggleFavorite(all[0]);
    viewModel->setFavorite({all[0], all[1]}, true);
    QCOMPARE(ids(viewModel->favorites()), (QList<qint64> {1, 2}));
    QCOMPARE(ids(*persistence().loadIssues(PreferenceKeys::issueFavoritesKey)), (QList<qint64> {1, 2}));
    viewModel->setFavorite({all[1]}, false);
    QCOMPARE(ids(viewModel->favorites()), QList<qint64> {1});
    QCOMPARE(favoritesChanges.size(), 3);

    // The starred item stays, with the toast; the others leave in one change.
    viewModel->archiveIssues(all);
    QCOMPARE(viewModel->toastMessage(), u"Cannot archive a favorited assignment."_s);
    QCOMPARE(ids(viewModel->issues()), QList<qint64> {1});
    QCOMPARE(ids(*persistence().loadIssues(PreferenceKeys::archivedIssuesKey)), (QList<qint64> {2, 3, 4}));
    QCOMPARE(issuesChanges.size(), 1);
    QCOMPARE(m_world->console().lines().last(), u"Archived 3 assignments."_s);
}

void TestAssignmentsViewModel::addingAPullRequestReadsItsIssueResource()
{
    m_world->signIn(token);
    // What GET …/issues/7 says of a pull request, without its repository object: the
    // pull request's own resource would carry another id.
    QJsonObject pull = issue(7, u"Teach the parser"_s, true);
    pull.remove(u"repository"_s);
    m_world->server().setResource(repoPath + u"/issues/7"_s, pull);
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    m_world->scheduler().advance(3s);
    m_world->server().clearRequests();

    viewModel->addAssignment(webUrl(u"/octocat/Hello-World/pull/7"_s));
    QVERIFY(waitUntil([&] { return !viewModel->toastMessage().isNull(); }));
    QCOMPARE(viewModel->toastMessage(), u"Assignment added successfully"_s);
    QCOMPARE(m_world->server().requests().size(), 1);
    QCOMPARE(m_world->server().requests().first().path, repoPath + u"/issues/7"_s);
    QCOMPARE(ids(viewModel->issues()), QList<qint64> {7});
    QCOMPARE(viewModel->issues().first()->repository(), Repository(repository));
    QCOMPARE(viewModel->newIssueIds(), QSet<qint64> {7});

    m_world->scheduler().advance(3s);
    QVERIFY(viewModel->newIssueIds().isEmpty());
    QVERIFY(viewModel->toastMessage().isNull());
    QCOMPARE(ids(*persistence().loadIssues(PreferenceKeys::issuesCacheKey)), QList<qint64> {7});

    viewModel->addAssignment(webUrl(u"/octocat/Hello-World/pull/7"_s));
    QVERIFY(waitUntil([&] { return !viewModel->toastMessage().isNull(); }));
    QCOMPARE(viewModel->toastMessage(), u"Assignment already exists in the list"_s);
    QCOMPARE(viewModel->issues().size(), 1);

    // The assigned list names it by the same id: a sync does not list it twice.
    m_world->server().addAssignedIssue(pull);
    viewModel->syncAssignments();
    QVERIFY(waitForSync(*viewModel));
    QCOMPARE(ids(viewModel->issues()), QList<qint64> {7});
}

void TestAssignmentsViewModel::addingFails_data()
{
    QTest::addColumn<QString>("storedToken"); // empty: nothing stored
    QTest::addColumn<QString>("path"); // on the fake GitHub's web base, or a whole address
    QTest::addColumn<QString>("toast"); // empty: none
    QTest::addColumn<bool>("needsToken");

    QTest::newRow("not a URL") << token << u"not a url"_s << u"Invalid URL"_s << false;
    QTest::newRow("foreign host") << token << u"foreign"_s << u"Invalid URL"_s << false;
    QTest::newRow("missing item") << token << u"/octocat/Hello-World/issues/404"_s
                                  << QStringLiteral("Error fetching assignment: The data from GitHub could not be "
                                                    "read: No value associated with key \"id\". (at [])")
                                  << false;
    QTest::newRow("no token") << QString() << u"/octocat/Hello-World/issues/1"_s << QString() << true;
    QTest::newRow("revoked token") << u"ghp_revoked"_s << u"/octocat/Hello-World/issues/1"_s << QString() << true;
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
    m_world->server().setResource(repoPath + u"/issues/1"_s, issue(1));
    // Another server, as a pasted address of a host that must never see the token.
    FakeGitHub elsewhere;
    QVERIFY(elsewhere.listen());
    const QString address = path == u"foreign" ? elsewhere.webBaseUrl().toString() + u"/octocat/Hello-World/issues/1"_s
        : path.startsWith(u'/')                ? webUrl(path)
                                               : path;

    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
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
    m_world = std::make_unique<GitHubTestEnvironment>(u"/api/v3"_s);
    m_world->signIn(token);
    m_world->server().setMaxAge(0);
    m_world->server().setResource(repoPath + u"/issues/3"_s, issue(3));
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));

    viewModel->addAssignment(webUrl(u"/octocat/Hello-World/issues/3"_s));
    QVERIFY(waitUntil([&] { return !viewModel->toastMessage().isNull(); }));
    QCOMPARE(viewModel->toastMessage(), u"Assignment added successfully"_s);
    QCOMPARE(m_world->server().requests().last().request.target,
        QByteArrayLiteral("/api/v3/repos/octocat/Hello-World/issues/3"));

    m_world->server().clearRequests();
    viewModel->refreshAssignmentStatuses();
    QVERIFY(waitUntil([&] { return !viewModel->isLoading(); }));
    QCOMPARE(viewModel->statusMessage(), u"Refreshed 1 assignment statuses at "_s + now());
    QCOMPARE(m_world->server().requests().size(), 1);
}

void TestAssignmentsViewModel::aToastShownMeanwhileIsClearedWithTheFirst()
{
    auto viewModel = start();
    viewModel->showToast(u"first"_s);
    m_world->scheduler().advance(1s);
    viewModel->showToast(u"second"_s);
    m_world->scheduler().advance(1999ms);
    QCOMPARE(viewModel->toastMessage(), u"second"_s);
    m_world->scheduler().advance(1ms);
    QVERIFY(viewModel->toastMessage().isNull());
}

void TestAssignmentsViewModel::autoReloadSwitchesPrintsAndPersists()
{
    m_world->signIn(token);
    checkAutoReload(*m_world, [this] { return start(); }, PreferenceKeys::autoReloadAssignments,
        {u"Auto-reload triggered at 2026-12-05 22:21:40 +0000"_s,
            u">>> Assignments auto-reload: Triggering scheduled sync"_s, u">>> Fetching assignments..."_s,
            u"Retrieved token from Keychain successfully (length: 15)"_s});
}

void TestAssignmentsViewModel::destroyedControllerIgnoresRepliesButFinishesHeldSteps()
{
    m_world->signIn(token);
    m_world->server().addAssignedIssue(issue(1));

    // Dropped before its reply: the reply changes nothing and prints nothing.
    m_world->server().injectFault(FaultTarget::path(u"/issues"_s), Fault::delay(100ms));
    {
        auto viewModel = start();
        viewModel->showToast(u"shown"_s);
        const QPointer<AssignmentsViewModel> watched(viewModel.get());
        viewModel.reset();
        QVERIFY(watched.isNull());
    }
    m_world->scheduler().advance(5s);
    QVERIFY(!m_world->console().lines().contains(u"Processed 1 new assignments"_s));
    QCOMPARE(m_world->environment().preferences->date(PreferenceKeys::lastPullDateAssignments), std::nullopt);

    // Dropped after a successful sync: the refresh and the highlight clearing it
    // scheduled still run, then the controller goes.
    auto viewModel = start();
    QVERIFY(waitForSync(*viewModel));
    const QPointer<AssignmentsViewModel> watched(viewModel.get());
    viewModel.reset();
    QVERIFY(!watched.isNull());
    m_world->console().clear();
    m_world->scheduler().advance(500ms);
    QCOMPARE(m_world->console().lines().first(), u">>> Refreshing assignment statuses..."_s);
    m_world->scheduler().advance(2500ms);
    QVERIFY(watched.isNull());
}

QTEST_GUILESS_MAIN(TestAssignmentsViewModel)
#include "tst_assignmentsviewmodel.moc"

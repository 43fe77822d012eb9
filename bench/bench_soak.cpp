// Both feeds as the application runs them, auto-reload on, against the fake GitHub for
// 100 five-minute reload cycles on virtual time: 2,000 notification threads (200 pull
// requests, 300 check suites) and 500 assignments (100 pull requests). Every third cycle
// the server changes (new and edited threads, merged pull requests, closed assignments)
// and the user triages afterwards (threads marked read, stars, an archived item); some
// cycles fail (HTTP 500 on both lists, every connection dropped, HTTP 500 on every status
// request). Checked: resident memory, live QObjects and active timers are flat from
// cycle 10 to cycle 100, and the preference store ends up holding what the server last
// served plus the marks made during the run.

#include "BenchEnvironment.h"
#include "ObjectCensus.h"
#include "PullRequestStatus.h"
#include "VirtualScheduler.h"
#include "Wait.h"
#include "assignments/AssignmentsViewModel.h"
#include "http/HttpTransport.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const QString kToken = QStringLiteral("ghp_soak");
constexpr int kThreads = 2000;
constexpr int kPullRequestThreads = 200;
constexpr int kCheckSuiteThreads = 300;
constexpr int kAssignments = 500;
constexpr int kCycles = 100;
constexpr int kBaselineCycle = 10;
constexpr double kMemoryToleranceMB = 2.0;
constexpr double kMegabyte = 1e6;
constexpr auto kReloadInterval = 300s;
// Past the highlight clearing (3 s) and the watchdogs (30 s) of a cycle's syncs.
constexpr auto kSettleTime = 35s;
constexpr int kWaitLimitMs = 300000;
// Per change cycle: threads the server adds (and the user then marks as many read, so
// that the list keeps its length), threads edited, of which pull requests merged, and
// assignments closed.
constexpr int kNewThreads = 5;
constexpr int kEditedThreads = 10;
constexpr int kMergedPerChange = 2;
constexpr int kClosedAssignments = 3;

enum class Failure {
    None,
    ListsAnswer500,
    ConnectionsDropped,
    StatusAnswers500,
};

Failure failureOf(int cycle)
{
    switch (cycle % 10) {
    case 4:
        return Failure::ListsAnswer500;
    case 6:
        return Failure::StatusAnswers500;
    case 8:
        return Failure::ConnectionsDropped;
    default:
        return Failure::None;
    }
}

// A thread's state is asked once, when a sync fetches it; changes first served in a
// cycle whose status requests fail would keep their threads without words for good, so
// the server does not change before such a cycle.
bool changesIn(int cycle)
{
    return cycle % 3 == 0 && failureOf(cycle) != Failure::StatusAnswers500;
}

QString threadId(int number)
{
    return QString::number(1000000 + number);
}

QString threadRepository(int number)
{
    return QStringLiteral("marrowfen/repo-%1").arg(number % 20);
}

QString threadType(int number)
{
    if (number <= kPullRequestThreads)
        return QStringLiteral("PullRequest");
    if (number > kThreads - kCheckSuiteThreads && number <= kThreads)
        return QStringLiteral("CheckSuite");
    return QStringLiteral("Issue");
}

// What thread `number` is about: the first threads each have an issue or pull request of
// their own; those added during the run are about issues of the first ones, so that the
// server, which shares this process, keeps its data the same size.
int subjectOf(int number)
{
    constexpr int issueThreads = kThreads - kPullRequestThreads - kCheckSuiteThreads;
    return number <= kThreads ? number : kPullRequestThreads + 1 + (number - kThreads) % issueThreads;
}

QString isoTime(const QDateTime& moment)
{
    return moment.toString(Qt::ISODate);
}

// One assigned item, as the bench last told the server to serve it, and what the cache
// should hold of it: a refresh copies an issue's title, state and update time; a pull
// request keeps what the list gave at first and takes "merged" from its details.
struct Assignment
{
    qint64 id = 0;
    int number = 0;
    QString repository;
    bool pullRequest = false;
    QString title;
    QString updatedAt;
    QString state = QStringLiteral("open");
    QString listedUpdatedAt;
};

// The world of the run, on virtual time.
using SoakWorld = BenchWorld<VirtualScheduler>;

// The account on the server, and the bench's own record of what it serves.
class ServedAccount
{
public:
    explicit ServedAccount(const QDateTime& start)
        : m_start(start)
    { }

    void serve(FakeGitHub& server)
    {
        const GitHubPayloads payloads = server.payloads();
        QJsonArray threads;
        for (int number = 1; number <= kThreads; ++number) {
            threads.append(thread(payloads, number, QStringLiteral("Thread %1").arg(number),
                isoTime(m_start.addSecs(-60LL * (number + 10)))));
            serveSubject(server, payloads, number);
        }
        server.setNotifications(threads);

        QJsonArray items;
        for (int index = 1; index <= kAssignments; ++index) {
            Assignment item;
            item.id = 7000000 + index;
            item.number = 10000 + index;
            item.repository = QStringLiteral("marrowfen/assigned-%1").arg(index % 10);
            item.pullRequest = index % 5 == 0;
            item.title = QStringLiteral("Assignment %1").arg(index);
            item.updatedAt = isoTime(m_start.addSecs(-3600LL * index));
            item.listedUpdatedAt = item.updatedAt;
            m_assignments.append(item);
            items.append(listed(payloads, item));
            serveItem(server, payloads, item);
        }
        server.setAssignedIssues(items);
    }

    // New and edited threads, merged pull requests and closed assignments, stamped `now`.
    void change(FakeGitHub& server, const QDateTime& now, const QSet<QString>& readIds)
    {
        const GitHubPayloads payloads = server.payloads();
        const QString stamp = isoTime(now);
        ++m_changes;
        for (int n = 0; n < kNewThreads; ++n) {
            const int number = kThreads + ++m_addedThreads;
            server.addNotification(thread(payloads, number, QStringLiteral("Thread %1").arg(number), stamp));
        }
        int merged = 0;
        for (int edited = 0; edited < kEditedThreads;) {
            // Pull requests first, so that some are merged; then issue threads.
            const int number = edited < kEditedThreads / 2 ? 1 + (m_nextEditedPullRequest++ % kPullRequestThreads)
                                                           : kPullRequestThreads + 1
                    + (m_nextEditedIssue++ % (kThreads - kPullRequestThreads - kCheckSuiteThreads));
            if (readIds.contains(threadId(number)))
                continue;
            ++edited;
            server.addNotification(
                thread(payloads, number, QStringLiteral("Thread %1, edit %2").arg(number).arg(m_changes), stamp));
            if (number <= kPullRequestThreads && !m_merged.contains(number) && merged < kMergedPerChange) {
                ++merged;
                m_merged.insert(number);
                serveSubject(server, payloads, number);
            }
        }
        int closed = 0;
        for (Assignment& item : m_assignments) {
            if (closed == kClosedAssignments)
                break;
            if (item.state != u"open")
                continue;
            ++closed;
            item.state = item.pullRequest ? QStringLiteral("merged") : QStringLiteral("closed");
            item.updatedAt = stamp;
            server.addAssignedIssue(listed(payloads, item));
            serveItem(server, payloads, item);
        }
    }

    // GitHub keeps read threads, but the fake server shares this process, and its data
    // must not grow where the client's does not: it forgets the threads the user read.
    static void forgetRead(FakeGitHub& server) { server.setNotifications(server.unreadNotifications()); }

    bool isMerged(int number) const { return m_merged.contains(number); }
    const QList<Assignment>& assignments() const { return m_assignments; }

private:
    QJsonObject thread(const GitHubPayloads& payloads, int number, const QString& title, const QString& updatedAt) const
    {
        const int subject = subjectOf(number);
        return payloads.thread({.id = threadId(number),
            .repository = threadRepository(subject),
            .type = threadType(subject),
            .number = subject,
            .title = title,
            .updatedAt = updatedAt});
    }

    // What the status requests of thread `number` read.
    void serveSubject(FakeGitHub& server, const GitHubPayloads& payloads, int number) const
    {
        const QString repository = threadRepository(number);
        const QString repo = QStringLiteral("/repos/") + repository;
        if (threadType(number) == u"Issue") {
            server.setResource(repo + QStringLiteral("/issues/%1").arg(number),
                payloads.issue({.id = 6000000 + number, .repository = repository, .number = number}));
            return;
        }
        if (threadType(number) != u"PullRequest")
            return;
        PullRequestStatus::serve(server, payloads, repository, number, isMerged(number));
    }

    static QJsonObject listed(const GitHubPayloads& payloads, const Assignment& item)
    {
        const bool merged = item.state == u"merged";
        return payloads.issue({.id = item.id,
            .repository = item.repository,
            .number = item.number,
            .title = item.title,
            .state = item.state == u"open" ? QStringLiteral("open") : QStringLiteral("closed"),
            .pullRequest = item.pullRequest,
            .mergedAt = merged ? item.updatedAt : QString(),
            .updatedAt = item.updatedAt});
    }

    // What the refresh of an assigned item reads.
    static void serveItem(FakeGitHub& server, const GitHubPayloads& payloads, const Assignment& item)
    {
        const QString repo = QStringLiteral("/repos/") + item.repository;
        if (item.pullRequest) {
            const bool merged = item.state == u"merged";
            server.setResource(repo + QStringLiteral("/pulls/%1").arg(item.number),
                payloads.pullRequest({.id = item.id,
                    .repository = item.repository,
                    .number = item.number,
                    .title = item.title,
                    .state = merged ? QStringLiteral("closed") : QStringLiteral("open"),
                    .merged = merged,
                    .updatedAt = item.updatedAt}));
        } else {
            server.setResource(repo + QStringLiteral("/issues/%1").arg(item.number), listed(payloads, item));
        }
    }

    QDateTime m_start;
    QList<Assignment> m_assignments;
    QSet<int> m_merged;
    int m_changes = 0;
    int m_addedThreads = 0;
    int m_nextEditedPullRequest = 0;
    int m_nextEditedIssue = 0;
};

// What the user did during the run.
struct Marks
{
    QSet<QString> readThreads;
    QSet<QString> starredThreads;
    QSet<qint64> archivedItems;
    QSet<qint64> starredItems;
};

struct Outcomes
{
    int succeeded = 0;
    int failed = 0;
};

// Both controllers, created as the application creates them, and how their syncs ended.
class Feeds
{
public:
    explicit Feeds(const Environment& environment)
        : m_notifications(NotificationsViewModel::create(environment))
        , m_assignments(AssignmentsViewModel::create(environment))
    {
        watch(*m_notifications, m_notificationOutcomes);
        watch(*m_assignments, m_assignmentOutcomes);
    }

    NotificationsViewModel& notifications() { return *m_notifications; }
    AssignmentsViewModel& assignments() { return *m_assignments; }
    const Outcomes& notificationOutcomes() const { return m_notificationOutcomes; }
    const Outcomes& assignmentOutcomes() const { return m_assignmentOutcomes; }
    int syncsEnded() const { return m_syncsEnded; }

    bool isIdle(HttpTransport& http)
    {
        return !m_notifications->hasRequestsInFlight() && !m_assignments->hasRequestsInFlight()
            && http.requestsInFlight() == 0;
    }

    void flush()
    {
        m_notifications->flushPendingSaves();
        m_assignments->flushPendingSaves();
    }

private:
    void watch(FeedController& controller, Outcomes& outcomes)
    {
        QObject::connect(
            &controller, &FeedController::syncFinished, &controller, [this, &outcomes](SyncOutcome outcome) {
                ++(outcome == SyncOutcome::Succeeded ? outcomes.succeeded : outcomes.failed);
                ++m_syncsEnded;
            });
    }

    std::shared_ptr<NotificationsViewModel> m_notifications;
    std::shared_ptr<AssignmentsViewModel> m_assignments;
    Outcomes m_notificationOutcomes;
    Outcomes m_assignmentOutcomes;
    int m_syncsEnded = 0;
};

void injectFailure(FakeGitHub& server, Failure failure)
{
    const Fault serverError = Fault::reply(
        500, QJsonDocument(GitHubPayloads::error(QStringLiteral("Server Error"))).toJson(QJsonDocument::Compact));
    switch (failure) {
    case Failure::None:
        return;
    case Failure::ListsAnswer500:
        server.injectFault(FaultTarget::path(QStringLiteral("/notifications"), "GET"), serverError, FakeGitHub::always);
        server.injectFault(FaultTarget::path(QStringLiteral("/issues"), "GET"), serverError, FakeGitHub::always);
        return;
    case Failure::ConnectionsDropped:
        server.injectFault(FaultTarget::prefix(QStringLiteral("/")), Fault::dropConnection(), FakeGitHub::always);
        return;
    case Failure::StatusAnswers500:
        server.injectFault(FaultTarget::prefix(QStringLiteral("/repos/")), serverError, FakeGitHub::always);
        return;
    }
}

void waitForIdle(Feeds& feeds, HttpTransport& http)
{
    if (!waitUntil([&] { return feeds.isIdle(http); }, kWaitLimitMs))
        qFatal("the feeds' requests did not end");
    QCoreApplication::processEvents();
}

// One reload: the timers' tick, both syncs, the status refreshes after them, and the
// delayed steps up to the watchdogs.
void runReload(SoakWorld& world, Feeds& feeds, const QDateTime& tick)
{
    const int ended = feeds.syncsEnded();
    world.scheduler().advance(std::chrono::milliseconds(world.scheduler().now().msecsTo(tick)));
    if (!waitUntil([&] { return feeds.syncsEnded() == ended + 2; }, kWaitLimitMs))
        qFatal("a sync did not end");
    world.scheduler().advance(500ms);
    waitForIdle(feeds, world.http());
    world.scheduler().advance(kSettleTime);
    waitForIdle(feeds, world.http());
}

// The user's triage after a change: marks the oldest listed threads read, stars a
// thread, archives a finished assignment and stars an open one.
void triage(Feeds& feeds, Marks& marks)
{
    NotificationsViewModel& notifications = feeds.notifications();
    QList<NotificationPtr> toRead;
    const QList<NotificationPtr> listed = notifications.notifications();
    for (auto thread = listed.rbegin(); thread != listed.rend() && toRead.size() < kNewThreads; ++thread) {
        if (!notifications.isFavorite(*thread))
            toRead.append(*thread);
    }
    for (const NotificationPtr& thread : toRead) {
        marks.readThreads.insert(thread->id());
        notifications.markAsRead(thread);
    }
    for (const NotificationPtr& thread : notifications.notifications()) {
        if (!notifications.isFavorite(thread)) {
            marks.starredThreads.insert(thread->id());
            notifications.toggleFavorite(thread);
            break;
        }
    }

    AssignmentsViewModel& assignments = feeds.assignments();
    const QList<IssuePtr> items = assignments.issues();
    for (const IssuePtr& item : items) {
        if (item->state() != u"open" && !assignments.isFavorite(item)) {
            marks.archivedItems.insert(item->id());
            assignments.archiveIssue(item);
            break;
        }
    }
    for (const IssuePtr& item : items) {
        if (item->state() == u"open" && !assignments.isFavorite(item)) {
            marks.starredItems.insert(item->id());
            assignments.toggleFavorite(item);
            break;
        }
    }
}

// A quiet moment to measure: pending writes of the preference file done; the keep-alive
// connections, whose number follows the traffic, closed by the server and let go by both
// ends, with every deferred deletion done (the count of live objects has stood still for
// ten turns of the event loop); and the memory that malloc keeps for reuse handed back,
// so that resident memory is the memory in use.
void settle(SoakWorld& world, Feeds& feeds, const ObjectCensus& census)
{
    feeds.flush();
    world.preferences().flush();
    world.server().call([](FakeGitHub& server) { server.closeIdleConnections(); });
    {
        QTimer wakeUp;
        wakeUp.start(10);
        int last = -1;
        for (int still = 0; still < 10;) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            world.server().call(
                [](FakeGitHub&) { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); });
            const int live = census.liveObjects();
            still = live == last ? still + 1 : 0;
            last = live;
        }
    }
    malloc_trim(0);
}

double residentMB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) / kMegabyte : -1;
}

// Bytes handed out by malloc and not freed yet, on every arena: grows with what the
// process keeps, where resident memory also grows with fragmentation.
double allocatedMB()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / kMegabyte;
}

struct Sample
{
    double residentMB = 0;
    double allocatedMB = 0;
    int objects = 0;
    int timers = 0;
    int scheduled = 0;
};

Sample sample(SoakWorld& world, Feeds& feeds, ObjectCensus& census)
{
    settle(world, feeds, census);
    return {residentMB(), allocatedMB(), census.liveObjects(), census.activeTimers(), world.scheduler().pendingCount()};
}

// Differences between what the preference file holds and what it should, one line each.
class CacheCheck
{
public:
    void expect(bool condition, const QString& what)
    {
        if (!condition)
            m_problems.append(what);
    }
    const QStringList& problems() const { return m_problems; }

private:
    QStringList m_problems;
};

template <typename Record, typename Id>
QSet<Id> idsOf(const QList<std::shared_ptr<Record>>& records, Id (*idOf)(const Record&))
{
    QSet<Id> ids;
    for (const auto& record : records)
        ids.insert(idOf(*record));
    return ids;
}

QString notificationId(const Notification& thread)
{
    return thread.id();
}

qint64 issueId(const Issue& issue)
{
    return issue.id();
}

void checkNotifications(CacheCheck& check, const PersistenceService& saved, const QJsonArray& served,
    const ServedAccount& account, const Marks& marks)
{
    // Marking read does not rewrite the cache: the next start leaves read threads out.
    QList<NotificationPtr> cached
        = saved.loadNotifications(PreferenceKeys::notificationsCacheKey).value_or(QList<NotificationPtr> {});
    cached.removeIf([&marks](const NotificationPtr& thread) { return marks.readThreads.contains(thread->id()); });
    QHash<QString, NotificationPtr> byId;
    for (const NotificationPtr& thread : cached)
        byId.insert(thread->id(), thread);
    check.expect(byId.size() == cached.size(), QStringLiteral("the cached threads hold an id twice"));

    int expected = 0;
    for (const QJsonValue& value : served) {
        const QJsonObject thread = value.toObject();
        const QString id = thread.value(QStringLiteral("id")).toString();
        if (marks.readThreads.contains(id))
            continue;
        ++expected;
        const NotificationPtr kept = byId.value(id);
        if (!kept) {
            check.expect(false, QStringLiteral("thread %1 is missing").arg(id));
            continue;
        }
        const Subject& subject = kept->subject();
        const QJsonObject servedSubject = thread.value(QStringLiteral("subject")).toObject();
        check.expect(subject.title() == servedSubject.value(QStringLiteral("title")).toString()
                && kept->updatedAt() == thread.value(QStringLiteral("updated_at")).toString(),
            QStringLiteral("thread %1 is not the one served last").arg(id));
        const int number = id.toInt() - 1000000;
        if (subject.type() == u"PullRequest") {
            const QString state = account.isMerged(number) ? QStringLiteral("merged") : QStringLiteral("open");
            check.expect(subject.state() == state && subject.ciStatus() == QStringLiteral("passing")
                    && subject.reviewStatus() == QStringLiteral("approved"),
                QStringLiteral("pull request thread %1 has the words %2, %3, %4")
                    .arg(id, subject.state().value_or(QStringLiteral("-")),
                        subject.ciStatus().value_or(QStringLiteral("-")),
                        subject.reviewStatus().value_or(QStringLiteral("-"))));
        } else if (subject.type() == u"Issue") {
            check.expect(
                subject.state() == QStringLiteral("open"), QStringLiteral("issue thread %1 has no state").arg(id));
        }
    }
    check.expect(cached.size() == expected,
        QStringLiteral("%1 threads cached, %2 served and not marked read").arg(cached.size()).arg(expected));
    check.expect(saved.loadIds(PreferenceKeys::readNotificationsKey).value_or(QSet<QString> {}) == marks.readThreads,
        QStringLiteral("the read marks differ from those made"));
    const QList<NotificationPtr> favorites
        = saved.loadNotifications(PreferenceKeys::favoritesKey).value_or(QList<NotificationPtr> {});
    check.expect(idsOf(favorites, &notificationId) == marks.starredThreads,
        QStringLiteral("the starred threads differ from those starred"));
}

void checkAssignments(
    CacheCheck& check, const PersistenceService& saved, const ServedAccount& account, const Marks& marks)
{
    // Archiving does not rewrite the cache: after a restart archived items are listed
    // again, hidden from the table.
    QList<IssuePtr> cached = saved.loadIssues(PreferenceKeys::issuesCacheKey).value_or(QList<IssuePtr> {});
    cached.removeIf([&marks](const IssuePtr& item) { return marks.archivedItems.contains(item->id()); });
    QHash<qint64, IssuePtr> byId;
    for (const IssuePtr& item : cached)
        byId.insert(item->id(), item);
    int expected = 0;
    for (const Assignment& item : account.assignments()) {
        if (marks.archivedItems.contains(item.id))
            continue;
        ++expected;
        const IssuePtr kept = byId.value(item.id);
        if (!kept) {
            check.expect(false, QStringLiteral("assignment %1 is missing").arg(item.id));
            continue;
        }
        const QString updatedAt = item.pullRequest ? item.listedUpdatedAt : item.updatedAt;
        check.expect(kept->state() == item.state && kept->title() == item.title && kept->updatedAt() == updatedAt,
            QStringLiteral("assignment %1 is %2 (%3), served %4 (%5)")
                .arg(QString::number(item.id), kept->state(), kept->updatedAt(), item.state, updatedAt));
    }
    check.expect(cached.size() == expected && byId.size() == expected,
        QStringLiteral("%1 assignments cached, %2 served and not archived").arg(cached.size()).arg(expected));
    const QList<IssuePtr> archived = saved.loadIssues(PreferenceKeys::archivedIssuesKey).value_or(QList<IssuePtr> {});
    check.expect(idsOf(archived, &issueId) == marks.archivedItems,
        QStringLiteral("the archived assignments differ from those archived"));
    const QList<IssuePtr> favorites = saved.loadIssues(PreferenceKeys::issueFavoritesKey).value_or(QList<IssuePtr> {});
    check.expect(idsOf(favorites, &issueId) == marks.starredItems,
        QStringLiteral("the starred assignments differ from those starred"));
}

void printSample(int cycle, const Sample& sample, double wallSeconds)
{
    std::printf("  after cycle %3d: %5.1f MB resident (%5.1f MB allocated), %d QObjects, %d Qt timers, "
                "%d scheduled steps (%3.0f s)\n",
        cycle, sample.residentMB, sample.allocatedMB, sample.objects, sample.timers, sample.scheduled, wallSeconds);
    std::fflush(stdout);
}

const char* verdict(bool ok)
{
    return ok ? "ok" : "FAILED";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ObjectCensus census;
    QElapsedTimer wall;
    wall.start();

    SoakWorld world(kToken);
    ServedAccount account(world.scheduler().now());
    world.server().call([&](FakeGitHub& server) { account.serve(server); });
    // The switches as a user who turned auto-reload on left them.
    world.preferences().setBool(PreferenceKeys::autoReload, true);
    world.preferences().setBool(PreferenceKeys::autoReloadAssignments, true);

    std::printf("Soak: %d threads, %d assignments, %d reload cycles of %lld s on virtual time\n", kThreads,
        kAssignments, kCycles, static_cast<long long>(kReloadInterval.count()));
    const QDateTime start = world.scheduler().now();
    Feeds feeds(world.environment());
    if (!waitUntil([&] { return feeds.syncsEnded() == 2; }, kWaitLimitMs))
        qFatal("the first syncs did not end");
    world.scheduler().advance(500ms);
    waitForIdle(feeds, world.http());

    Marks marks;
    Sample baseline;
    Sample last;
    int failedCycles = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        const Failure failure = failureOf(cycle);
        failedCycles += failure != Failure::None;
        if (changesIn(cycle)) {
            world.server().call(
                [&](FakeGitHub& server) { account.change(server, world.scheduler().now(), marks.readThreads); });
        }
        world.server().call([failure](FakeGitHub& server) {
            injectFailure(server, failure);
            server.clearRequests();
        });
        runReload(world, feeds, start.addSecs(kReloadInterval.count() * cycle));
        world.server().call([](FakeGitHub& server) { server.clearFaults(); });
        if (changesIn(cycle)) {
            triage(feeds, marks);
            waitForIdle(feeds, world.http());
            world.server().call([&](FakeGitHub& server) { ServedAccount::forgetRead(server); });
        }
        if (cycle % 10 == 0) {
            last = sample(world, feeds, census);
            printSample(cycle, last, static_cast<double>(wall.elapsed()) / 1000.0);
            if (cycle == kBaselineCycle)
                baseline = last;
        }
    }

    feeds.flush();
    world.preferences().flush();
    PreferenceStore stored(world.preferences().filePath());
    Environment reread = world.environment();
    reread.preferences = &stored;
    const PersistenceService saved(reread);
    const QJsonArray served = world.server().call([](FakeGitHub& server) { return server.unreadNotifications(); });
    CacheCheck check;
    checkNotifications(check, saved, served, account, marks);
    checkAssignments(check, saved, account, marks);

    const double growth = last.residentMB - baseline.residentMB;
    const bool memoryFlat = std::abs(growth) <= kMemoryToleranceMB;
    const bool objectsFlat = last.objects <= baseline.objects;
    const bool timersFlat = last.timers <= baseline.timers && last.scheduled <= baseline.scheduled;
    std::printf("Syncs: notifications %d succeeded, %d failed; assignments %d succeeded, %d failed "
                "(%d of %d cycles made to fail)\n",
        feeds.notificationOutcomes().succeeded, feeds.notificationOutcomes().failed,
        feeds.assignmentOutcomes().succeeded, feeds.assignmentOutcomes().failed, failedCycles, kCycles);
    std::printf("Resident memory, cycle %d to %d: %+.2f MB, allocated %+.2f MB (target: within %.1f MB "
                "resident): %s\n",
        kBaselineCycle, kCycles, growth, last.allocatedMB - baseline.allocatedMB, kMemoryToleranceMB,
        verdict(memoryFlat));
    std::printf(
        "Live QObjects: %d, then %d (target: no more): %s\n", baseline.objects, last.objects, verdict(objectsFlat));
    std::printf("Active timers: %d Qt timers and %d scheduled steps, then %d and %d (target: no more): %s\n",
        baseline.timers, baseline.scheduled, last.timers, last.scheduled, verdict(timersFlat));
    std::printf("Caches: %d threads, %d read marks, %d starred threads, %d archived and %d starred assignments "
                "(target: what the server served plus the marks): %s\n",
        static_cast<int>(served.size()), static_cast<int>(marks.readThreads.size()),
        static_cast<int>(marks.starredThreads.size()), static_cast<int>(marks.archivedItems.size()),
        static_cast<int>(marks.starredItems.size()), verdict(check.problems().isEmpty()));
    for (const QString& problem : check.problems().mid(0, 20))
        std::printf("  %s\n", qPrintable(problem));
    std::printf("Wall time: %.0f s\n", static_cast<double>(wall.elapsed()) / 1000.0);
    return memoryFlat && objectsFlat && timersFlat && check.problems().isEmpty() ? 0 : 1;
}

// The notifications feed against the fake GitHub: what an idle sync costs in rate
// limit, how close a cold sync and status refresh come to the network's lower bound,
// and how the refresh's CPU time grows with the number of pull requests.

#include "BenchEnvironment.h"
#include "PullRequestStatus.h"
#include "ServerCounts.h"
#include "Wait.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

using namespace std::chrono_literals;

namespace {

const QString repository = QStringLiteral("octocat/Hello-World");
constexpr int waitLimitMs = 600000;

// `count` pull-request threads with everything their status refresh reads: the pull
// request, its commit statuses and check runs, and its reviews.
void addPullRequests(FakeGitHub& server, int count, bool listThreads)
{
    const GitHubPayloads payloads = server.payloads();
    const QString updatedAt = QDateTime::currentDateTimeUtc().addSecs(-3600).toString(Qt::ISODate);
    for (int number = 1; number <= count; ++number) {
        if (listThreads) {
            server.addNotification(payloads.thread({.id = QString::number(number),
                .repository = repository,
                .type = QStringLiteral("PullRequest"),
                .number = number,
                .title = QStringLiteral("Pull request %1").arg(number),
                .updatedAt = updatedAt}));
        }
        PullRequestStatus::serve(server, payloads, repository, number);
    }
}

// The cache of a user who already knows `count` pull-request threads.
QList<NotificationPtr> cachedPullRequests(const QString& apiBase, int count)
{
    QList<NotificationPtr> threads;
    for (int number = 1; number <= count; ++number) {
        const QString url = QStringLiteral("%1/repos/%2/pulls/%3").arg(apiBase, repository).arg(number);
        threads << std::make_shared<Notification>(QString::number(number),
            Subject(QStringLiteral("Pull request %1").arg(number), QStringLiteral("PullRequest"), url),
            Repository(repository), QStringLiteral("review_requested"), QStringLiteral("2026-01-01T00:00:00Z"));
    }
    return threads;
}

// Runs one sync of `viewModel` (already started, or started by `startSync`) and the
// status refresh after it, until every request they sent has answered.
void syncAndRefresh(NotificationsViewModel& viewModel, const std::function<void()>& startSync)
{
    bool refreshStarted = false;
    const QMetaObject::Connection connection
        = QObject::connect(&viewModel, &NotificationsViewModel::statusRefreshStarted, [&] { refreshStarted = true; });
    startSync();
    if (!waitUntil([&] { return refreshStarted && !viewModel.hasRequestsInFlight(); }, waitLimitMs))
        qFatal("the sync and status refresh did not finish");
    QObject::disconnect(connection);
}

void idleSyncCost()
{
    constexpr int threads = 200;
    BenchEnvironment world;
    world.server().call([](FakeGitHub& server) {
        server.setMaxAge(0); // every kept reply is stale at once and must be revalidated
        addPullRequests(server, threads, true);
    });
    std::shared_ptr<NotificationsViewModel> viewModel;
    syncAndRefresh(*(viewModel = NotificationsViewModel::create(world.environment())), [] {});
    const ServerCounts first = ServerCounts::of(world.server());
    world.server().call([](FakeGitHub& server) { server.clearRequests(); });

    syncAndRefresh(*viewModel, [&] { viewModel->syncNotifications(); });
    const ServerCounts second = ServerCounts::of(world.server());
    std::printf("Idle sync and refresh, %d pull-request threads, nothing changed on the server\n", threads);
    std::printf("  first run:  %5d requests, %5d full-cost\n", first.requests, first.fullCost);
    std::printf("  second run: %5d requests, %5d full-cost, %5d answered 304 (target: at most 2 full-cost)\n",
        second.requests, second.fullCost, second.notModified);
}

void coldRefreshTime()
{
    constexpr int threads = 200;
    constexpr int latencyMs = 50;
    BenchEnvironment world;
    world.server().call([](FakeGitHub& server) {
        addPullRequests(server, threads, true);
        server.setLatency(std::chrono::milliseconds(50));
    });
    QElapsedTimer wall;
    wall.start();
    std::shared_ptr<NotificationsViewModel> viewModel;
    syncAndRefresh(*(viewModel = NotificationsViewModel::create(world.environment())), [] {});
    const double elapsedMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    const ServerCounts sent = ServerCounts::of(world.server());
    const double lowerBoundMs = static_cast<double>(sent.requests) / sent.connections * latencyMs;
    std::printf(
        "Cold sync and refresh, %d pull-request threads, %d ms latency, empty HTTP cache\n", threads, latencyMs);
    std::printf("  %d requests over %d connections: %.0f ms, lower bound %.0f ms, ratio %.2f (target: at most "
                "1.3; includes the 500 ms pause before the refresh)\n",
        sent.requests, sent.connections, elapsedMs, lowerBoundMs, elapsedMs / lowerBoundMs);
}

// CPU time of the controller's thread for one status refresh over `count` cached threads.
double refreshCpuMilliseconds(int count)
{
    BenchEnvironment world;
    world.server().call([count](FakeGitHub& server) { addPullRequests(server, count, false); });
    PersistenceService(world.environment())
        .save(
            cachedPullRequests(world.environment().endpoints.apiBase(), count), PreferenceKeys::notificationsCacheKey);

    const std::shared_ptr<NotificationsViewModel> viewModel = NotificationsViewModel::create(world.environment());
    double startCpu = 0;
    bool refreshStarted = false;
    QObject::connect(viewModel.get(), &NotificationsViewModel::statusRefreshStarted, [&] {
        refreshStarted = true;
        startCpu = threadCpuMilliseconds();
    });
    if (!waitUntil([&] { return refreshStarted && !viewModel->hasRequestsInFlight(); }, waitLimitMs))
        qFatal("the status refresh did not finish");
    viewModel->flushPendingSaves();
    const double cpu = threadCpuMilliseconds() - startCpu;
    // A refresh that failed early would look cheap: only complete ones count.
    for (const NotificationPtr& thread : viewModel->notifications()) {
        if (!thread->subject().reviewStatus())
            qFatal("the status refresh left thread %s without its words", qPrintable(thread->id()));
    }
    return cpu;
}

// The least CPU time of a few runs: other work on the machine only ever adds to it.
double bestRefreshCpuMilliseconds(int count, int runs)
{
    double best = refreshCpuMilliseconds(count);
    for (int run = 1; run < runs; ++run)
        best = std::min(best, refreshCpuMilliseconds(count));
    return best;
}

void refreshScaling()
{
    const double small = bestRefreshCpuMilliseconds(200, 5);
    const double large = bestRefreshCpuMilliseconds(2000, 2);
    std::printf("Status refresh CPU time on the controller's thread (best of several runs)\n");
    std::printf("  200 pull requests: %.0f ms, 2000 pull requests: %.0f ms, ratio %.1f (target: at most 12)\n", small,
        large, large / small);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    idleSyncCost();
    coldRefreshTime();
    refreshScaling();
    return 0;
}

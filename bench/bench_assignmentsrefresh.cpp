// The assignments feed's per-item refresh against the fake GitHub: how close a refresh
// of 500 items comes to the network's lower bound, and what a second refresh costs
// once every kept reply is stale but only a few items changed.

#include "BenchEnvironment.h"
#include "ServerCounts.h"
#include "Wait.h"
#include "assignments/AssignmentsViewModel.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>

#include <cstdio>

using namespace std::chrono_literals;

namespace {

const QString repository = QStringLiteral("octocat/Hello-World");
constexpr int itemCount = 500;
constexpr int changedCount = 5;
constexpr int latencyMs = 50;
constexpr int waitLimitMs = 600000;

// Every other item is a pull request.
bool isPullRequest(int number)
{
    return number % 2 == 0;
}

// What the refresh reads for item `number`: the pull request, or the issue.
void serveItem(FakeGitHub& server, int number, const QString& title)
{
    const GitHubPayloads payloads = server.payloads();
    if (isPullRequest(number)) {
        server.setResource(QStringLiteral("/repos/%1/pulls/%2").arg(repository).arg(number),
            payloads.pullRequest({.id = number, .repository = repository, .number = number, .title = title}));
    } else {
        server.setResource(QStringLiteral("/repos/%1/issues/%2").arg(repository).arg(number),
            payloads.issue({.id = number, .repository = repository, .number = number, .title = title}));
    }
}

// The cache of a user who already has `itemCount` assignments.
QList<IssuePtr> cachedItems(FakeGitHub& server)
{
    const GitHubPayloads payloads = server.payloads();
    QJsonArray items;
    for (int number = 1; number <= itemCount; ++number) {
        items.append(payloads.issue({.id = number,
            .repository = repository,
            .number = number,
            .title = QStringLiteral("Item %1").arg(number),
            .pullRequest = isPullRequest(number)}));
    }
    return std::get<QList<IssuePtr>>(Issue::decodeList(QJsonDocument(items).toJson(QJsonDocument::Compact)));
}

struct RefreshRun
{
    double wallMs = 0;
    ServerCounts counts;
};

// Waits for the refresh `start` begins and every request it sends. The server's request
// counts start from the refresh.
RefreshRun runRefresh(BenchEnvironment& world, AssignmentsViewModel& viewModel, const std::function<void()>& start)
{
    QElapsedTimer wall;
    const QMetaObject::Connection connection
        = QObject::connect(&viewModel, &AssignmentsViewModel::statusRefreshStarted, [&] {
              world.server().call([](FakeGitHub& server) { server.clearRequests(); });
              wall.start();
          });
    start();
    if (!waitUntil(
            [&] { return wall.isValid() && !viewModel.isLoading() && !viewModel.hasRequestsInFlight(); }, waitLimitMs))
        qFatal("the refresh did not finish");
    const double wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    QObject::disconnect(connection);
    return {wallMs, ServerCounts::of(world.server())};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    BenchEnvironment world;
    const QList<IssuePtr> cache = world.server().call([](FakeGitHub& server) {
        server.setMaxAge(0); // every kept reply is stale at once and must be revalidated
        server.setLatency(std::chrono::milliseconds(latencyMs));
        for (int number = 1; number <= itemCount; ++number)
            serveItem(server, number, QStringLiteral("Item %1").arg(number));
        return cachedItems(server);
    });
    PersistenceService(world.environment()).save(cache, PreferenceKeys::issuesCacheKey);

    // The refresh that follows the start-up sync, with an empty HTTP cache.
    std::shared_ptr<AssignmentsViewModel> viewModel;
    const RefreshRun cold
        = runRefresh(world, *(viewModel = AssignmentsViewModel::create(world.environment())).get(), [] {});
    const double lowerBoundMs = static_cast<double>(cold.counts.requests) / cold.counts.connections * latencyMs;
    std::printf("Per-item refresh of %d assignments (half pull requests), %d ms latency, empty HTTP cache\n", itemCount,
        latencyMs);
    std::printf("  %d requests over %d connections: %.0f ms, lower bound %.0f ms, ratio %.2f (target: at most 1.3)\n",
        cold.counts.requests, cold.counts.connections, cold.wallMs, lowerBoundMs, cold.wallMs / lowerBoundMs);

    world.server().call([](FakeGitHub& server) {
        for (int number = 1; number <= changedCount; ++number)
            serveItem(server, number, QStringLiteral("Item %1, renamed").arg(number));
    });
    const RefreshRun stale = runRefresh(world, *viewModel, [&] { viewModel->refreshAssignmentStatuses(); });
    std::printf("Second refresh, every kept reply stale, %d items changed on the server\n", changedCount);
    std::printf("  %d requests: %d full-cost (target: at most %d), %d answered 304; %.0f ms\n", stale.counts.requests,
        stale.counts.fullCost, changedCount, stale.counts.notModified, stale.wallMs);
    return 0;
}

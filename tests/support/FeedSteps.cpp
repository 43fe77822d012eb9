#include "FeedSteps.h"

#include "FakeGitHub.h"
#include "GitHubTestEnvironment.h"
#include "Wait.h"
#include "feeds/FeedController.h"

#include <QSignalSpy>
#include <QTest>

using namespace std::chrono_literals;

namespace FeedSteps {

void addPullRequestThread(FakeGitHub& server, const PullRequestThread& thread)
{
    const QString sha = QStringLiteral("6dcb09b5b57875f334f61aebed695e2e4193db5e");
    const GitHubPayloads payloads = server.payloads();
    server.addNotification(payloads.thread({.id = thread.id,
        .repository = thread.repository,
        .type = QStringLiteral("PullRequest"),
        .number = thread.number,
        .title = thread.title.isEmpty() ? QStringLiteral("Pull ") + thread.id : thread.title,
        .reason = thread.reason,
        .updatedAt = thread.updatedAt}));
    const QString pulls
        = QStringLiteral("/repos/") + thread.repository + QStringLiteral("/pulls/") + QString::number(thread.number);
    server.setResource(pulls,
        payloads.pullRequest({.repository = thread.repository,
            .number = thread.number,
            .state = thread.merged ? QStringLiteral("closed") : QStringLiteral("open"),
            .merged = thread.merged,
            .headSha = sha}));
    server.setResource(pulls + QStringLiteral("/reviews"),
        QJsonArray {payloads.review(
            {.repository = thread.repository, .pullNumber = thread.number, .state = thread.reviewState})});
    server.setResource(QStringLiteral("/repos/") + thread.repository + QStringLiteral("/statuses/") + sha,
        QJsonArray {payloads.status({.repository = thread.repository, .sha = sha, .state = thread.statusState})});
}

std::optional<SyncOutcome> waitForSync(FeedController& controller)
{
    QSignalSpy finished(&controller, &FeedController::syncFinished);
    if (!finished.wait(10000))
        return std::nullopt;
    return finished.first().first().value<SyncOutcome>();
}

bool runStatusRefresh(VirtualScheduler& scheduler, FeedController& controller)
{
    QSignalSpy started(&controller, &FeedController::statusRefreshStarted);
    scheduler.advance(500ms);
    if (started.count() != 1 || !waitUntil([&] { return !controller.hasRequestsInFlight(); }))
        return false;
    QCoreApplication::processEvents();
    return true;
}

void checkAutoReload(GitHubTestEnvironment& world, const std::function<std::shared_ptr<FeedController>()>& start,
    const QString& key, const QStringList& tickLines)
{
    const QStringList switchedOn {
        QStringLiteral(">>> Auto-reload disabled"), QStringLiteral(">>> Auto-reload enabled")};
    auto controller = start();
    QVERIFY(waitForSync(*controller));
    world.scheduler().advance(3s);
    world.console().clear();

    controller->setAutoReload(true);
    QCOMPARE(world.console().take(), switchedOn);
    QVERIFY(world.environment().preferences->boolValue(key));
    world.scheduler().advance(299s);
    QVERIFY(world.console().lines().isEmpty());
    world.scheduler().advance(1s);
    QCOMPARE(world.console().lines().mid(0, tickLines.size()), tickLines);
    QVERIFY(waitForSync(*controller));

    // A stored switch restarts the timer on the next start.
    controller.reset();
    world.console().clear();
    controller = start();
    QVERIFY(controller->autoReload());
    QCOMPARE(world.console().lines().mid(0, 2), switchedOn);
    QVERIFY(waitForSync(*controller));
    world.scheduler().advance(3s);

    world.console().clear();
    controller->setAutoReload(false);
    controller->setAutoReload(false);
    QCOMPARE(world.console().take(), QStringList(2, QStringLiteral(">>> Auto-reload disabled")));
    QVERIFY(!world.environment().preferences->boolValue(key));
    world.scheduler().advance(600s);
    QVERIFY(world.console().lines().isEmpty());
}

} // namespace FeedSteps

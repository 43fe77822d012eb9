#pragma once

#include "core/SyncOutcome.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class FakeGitHub;
class FeedController;
class GitHubTestEnvironment;
class VirtualScheduler;

// The steps every test of a feed controller takes. Network replies are waited for on
// the event loop (up to 10 s of real time); the controller's own delays only move
// with the virtual scheduler.
namespace FeedSteps {

// A pull-request thread of the fake GitHub's, with what its status refresh reads: the pull
// request (open, or merged), one review and one commit status.
struct PullRequestThread
{
    QString id;
    int number = 1;
    QString updatedAt;
    bool merged = false;
    QString repository = QStringLiteral("octocat/Hello-World");
    QString reason = QStringLiteral("subscribed");
    QString title {}; // empty: "Pull <id>"
    QString reviewState = QStringLiteral("APPROVED");
    QString statusState = QStringLiteral("success");
};
void addPullRequestThread(FakeGitHub& server, const PullRequestThread& thread);

// The outcome of the controller's next sync, once its reply was applied; nothing
// when none came.
std::optional<SyncOutcome> waitForSync(FeedController& controller);

// Moves time to the status refresh that follows a sync (0.5 s) and waits until every
// request it started ended; false when it did not start or did not end.
bool runStatusRefresh(VirtualScheduler& scheduler, FeedController& controller);

// The auto-reload switch of a feed, as both feeds share it: the console lines of
// switching, the stored switch under `key`, the first tick at 300 s (whose first
// lines are `tickLines`), a restart that finds the switch on, and switching off.
void checkAutoReload(GitHubTestEnvironment& world, const std::function<std::shared_ptr<FeedController>()>& start,
    const QString& key, const QStringList& tickLines);

} // namespace FeedSteps

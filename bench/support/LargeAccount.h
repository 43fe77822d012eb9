#pragma once

#include "github/Issue.h"
#include "github/Notification.h"

#include <QList>

#include <optional>

// The caches of a heavy user, as the window benchmarks load them: 10,000 notification
// threads over twenty repositories, 200 of them pull requests with their state, CI and
// review words; and 2,000 assigned items, 200 of them pull requests.
namespace LargeAccount {

constexpr int threadCount = 10000;
constexpr int issueCount = 2000;

QList<NotificationPtr> threads(int count = threadCount);
QList<IssuePtr> issues(int count = issueCount);

// Peak resident memory so far (VmHWM) of this process or of process `pid`, in
// kibibytes; -1 when it cannot be read (a process that has ended).
long peakResidentKiB(std::optional<qint64> pid = std::nullopt);

} // namespace LargeAccount

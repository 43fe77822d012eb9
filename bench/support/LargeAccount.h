#pragma once

#include "github/Issue.h"
#include "github/Notification.h"

#include <QList>

// The caches of a heavy user, as the window benchmarks load them: 10,000 notification
// threads over twenty repositories, 200 of them pull requests with their state, CI and
// review words; and 2,000 assigned items, 200 of them pull requests.
namespace LargeAccount {

constexpr int threadCount = 10000;
constexpr int issueCount = 2000;

QList<NotificationPtr> threads(int count = threadCount);
QList<IssuePtr> issues(int count = issueCount);

// Peak resident memory of this process so far, in kibibytes.
long peakResidentKiB();

} // namespace LargeAccount

#pragma once

#include "github/CheckRun.h"
#include "github/Review.h"
#include "github/StatusCheck.h"

#include <QList>
#include <QString>

// How the status refresh reduces a pull request's CI results and reviews to the one
// word the notifications list shows and stores. Pure rules, no network.
class StatusRules
{
public:
    // "failed" when any status or check run failed, else "pending" when any is still
    // running, else "unknown" when any ended otherwise than in success (a neutral or
    // skipped run, a status state GitHub added later), else "passing"; "none" when
    // there is neither a status nor a check run.
    static QString ciStatus(const QList<StatusCheck>& statuses, const QList<CheckRun>& checkRuns);

    // From each reviewer's latest review that was not dismissed, in reply order:
    // "changes_requested" when any asks for changes, "approved" when all approve,
    // "partially_approved" when some do, "commented" when none approves but some
    // commented, and "not_reviewed" otherwise.
    static QString reviewStatus(const QList<Review>& reviews);
};

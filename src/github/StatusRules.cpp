#include "github/StatusRules.h"

#include <QHash>

#include <algorithm>

QString StatusRules::ciStatus(const QList<StatusCheck>& statuses, const QList<CheckRun>& checkRuns)
{
    if (statuses.isEmpty() && checkRuns.isEmpty())
        return QStringLiteral("none");
    bool failed = false;
    bool pending = false;
    bool allGreen = true;
    for (const StatusCheck& status : statuses) {
        const QString& state = status.state;
        if (state == QLatin1String("failure") || state == QLatin1String("error"))
            failed = true;
        else if (state == QLatin1String("pending"))
            pending = true;
        else if (state != QLatin1String("success"))
            allGreen = false;
    }
    for (const CheckRun& run : checkRuns) {
        if (const std::optional<QString>& conclusion = run.conclusion) {
            if (*conclusion == QLatin1String("failure") || *conclusion == QLatin1String("timed_out")
                || *conclusion == QLatin1String("action_required") || *conclusion == QLatin1String("cancelled"))
                failed = true;
            else if (*conclusion != QLatin1String("success"))
                allGreen = false;
        } else if (run.status == QLatin1String("in_progress") || run.status == QLatin1String("queued")) {
            pending = true;
        }
    }
    if (failed)
        return QStringLiteral("failed");
    if (pending)
        return QStringLiteral("pending");
    if (!allGreen)
        return QStringLiteral("unknown");
    return QStringLiteral("passing");
}

QString StatusRules::reviewStatus(const QList<Review>& reviews)
{
    // A later review of the same reviewer replaces the earlier one. A review without a
    // user (a deleted account) belongs to no one who can still approve or object.
    QHash<QString, QString> latestByReviewer;
    for (const Review& review : reviews) {
        if (review.user && review.state != QLatin1String("DISMISSED"))
            latestByReviewer.insert(review.user->login, review.state);
    }
    const QList<QString> latest = latestByReviewer.values();
    if (latest.isEmpty())
        return QStringLiteral("not_reviewed");
    if (latest.contains(QLatin1String("CHANGES_REQUESTED")))
        return QStringLiteral("changes_requested");
    const qsizetype approved = std::ranges::count(latest, QLatin1String("APPROVED"));
    if (approved == 0)
        return latest.contains(QLatin1String("COMMENTED")) ? QStringLiteral("commented")
                                                           : QStringLiteral("not_reviewed");
    if (approved == latest.size())
        return QStringLiteral("approved");
    return QStringLiteral("partially_approved");
}

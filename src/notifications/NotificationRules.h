#pragma once

#include "feeds/FeedQuery.h"
#include "github/GitHubEndpoints.h"
#include "github/Notification.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The list rules of the notifications feed, as pure functions: merging a fetched page
// into the list, threads marked done, the repository choices, the completed states, the
// table filter and the web page of a thread.
namespace NotificationRules {

// The repository choice that means no repository filter.
inline const QString allRepositories = QStringLiteral("All Repositories");

struct Merge
{
    QList<NotificationPtr> merged; // newest updated_at first
    QSet<QString> newIds; // ids that were not listed before
};

// One record per id: the one with the greatest updated_at (compared as text); on a tie
// the record already listed stays, so its state, CI and review words survive.
Merge merge(const QList<NotificationPtr>& listed, const QList<NotificationPtr>& fetched);

// Thread id -> the thread's updated_at when the user marked it done.
using DoneMarks = QHash<QString, QString>;

// The user marked the thread done and GitHub has not updated it since: its updated_at
// is not later (compared as text) than when it was marked. A later update brings a
// thread back, as it does to GitHub's inbox.
bool isStillDone(const Notification& notification, const DoneMarks& marks);

// "All Repositories" followed by the distinct repository names, in code-point order.
QStringList repositoryChoices(const QList<NotificationPtr>& notifications);

// Closed, merged and resolved subjects (exact, lower case) count as completed.
bool isCompleted(const Notification& notification);

// What a filter query can ask of a thread: everything but drafts, which the status
// refresh does not read. The feed answers `account:` itself.
inline constexpr QueryFields queryFields = QueryField::Repository | QueryField::Organization | QueryField::Reason
    | QueryField::Kind | QueryField::State | QueryField::Starred | QueryField::CI | QueryField::Review
    | QueryField::Account;

// Whether the thread has what `clause` names (its sign aside). `starred`: the thread is
// a favourite.
bool holds(const QueryClause& clause, const Notification& notification, bool starred);

// The rows of the table: the selected repository (exact), the threads `query` keeps,
// newest updated_at first.
QList<NotificationPtr> filtered(const QList<NotificationPtr>& notifications, const QString& selectedRepository,
    const FeedQuery& query, const QSet<QString>& favoriteIds);
// The same for the filter field's `text`, without favourites.
QList<NotificationPtr> filtered(
    const QList<NotificationPtr>& notifications, const QString& selectedRepository, const QString& text);

// The distinct values of `field` in the list, sorted, for completing `repo:`, `org:` and
// `reason:`; empty for the other fields.
QStringList queryValues(const QList<NotificationPtr>& notifications, QueryField field);

// The page a thread's title links to: a repository invitation's page, else the subject's
// REST API URL turned into its web page (the REST base and "/repos" become the web base,
// and the kind "pulls" becomes "pull"). None when no such page can be formed: no subject
// URL, one outside the REST API, or a result outside the web base.
std::optional<QUrl> webURL(const Notification& notification, const GitHubEndpoints& endpoints);

} // namespace NotificationRules

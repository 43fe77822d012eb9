#pragma once

#include "feeds/FeedQuery.h"
#include "github/GitHubEndpoints.h"
#include "github/Issue.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The list and address rules of the assignments feed, as pure functions: merging a
// fetched page into the list, the one-record-per-id rule, the rows of the table, and
// turning an item's web address into its REST API address.
namespace AssignmentRules {

inline const QString unknownRepository = QStringLiteral("Unknown Repository");

struct Merge
{
    QList<IssuePtr> merged; // the listed records, then the fetched ones not listed yet
    QSet<qint64> newIds; // ids that were not listed before
};

// One record per id; a listed record wins over its fetched copy (the refresh after the
// sync re-reads every item).
Merge merge(const QList<IssuePtr>& listed, const QList<IssuePtr>& fetched);

// The first record of each id, in list order.
QList<IssuePtr> withoutDuplicateIds(const QList<IssuePtr>& issues);

bool containsId(const QList<IssuePtr>& issues, qint64 id);

// What a filter query can ask of an assigned item: its repository, kind, state and
// star, and the feed's account. The list carries no reason, draft flag, CI or review.
inline constexpr QueryFields queryFields = QueryField::Repository | QueryField::Organization | QueryField::Kind
    | QueryField::State | QueryField::Starred | QueryField::Account;

// The repository the row shows: "owner/name", or "Unknown Repository".
QString repositoryOf(const Issue& issue);

// Whether the item has what `clause` names (its sign aside). `starred`: the item is a
// favourite.
bool holds(const QueryClause& clause, const Issue& issue, bool starred);

// The rows of the table: the starred records only when `onlyFavorites`, never an
// archived one, those `query` keeps, newest updated_at first (compared as text; ties
// keep their order).
QList<IssuePtr> filteredIssues(const QList<IssuePtr>& issues, const QList<IssuePtr>& favorites,
    const QList<IssuePtr>& archived, bool onlyFavorites, const FeedQuery& query = {});

// The distinct repositories or owners in the list, sorted, for completing `repo:` and
// `org:`; empty for the other fields.
QStringList queryValues(const QList<IssuePtr>& issues, QueryField field);

// How many rows the table shows without its favourites filter.
qsizetype unarchivedCount(const QList<IssuePtr>& issues, const QList<IssuePtr>& archived);

// An item GitHub marks as a pull request, or whose web address names one.
bool isPullRequest(const Issue& issue);

// The REST API address of an item, from its web address (web base, then owner,
// repository, kind and number) or from its API address itself; "pull" becomes the
// API's "pulls". None unless the result lies under the REST API base, so that a pasted
// foreign address never receives the token.
std::optional<QUrl> apiURL(const QString& address, const GitHubEndpoints& endpoints);

// The same item's issue resource: GitHub serves every pull request as an issue too,
// and only that resource carries the id the assigned-items list uses and the
// repository's URL. None under the same conditions as apiURL.
std::optional<QUrl> issueURL(const QString& address, const GitHubEndpoints& endpoints);

// "owner/name" from a repository's API URL (its last two path segments), or
// "Unknown Repository".
QString repositoryName(const QString& repositoryUrl);

} // namespace AssignmentRules

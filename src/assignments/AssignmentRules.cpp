#include "assignments/AssignmentRules.h"

#include <algorithm>
#include <functional>

namespace AssignmentRules {

namespace {

QSet<qint64> idsOf(const QList<IssuePtr>& issues)
{
    QSet<qint64> ids;
    ids.reserve(issues.size());
    for (const IssuePtr& issue : issues)
        ids.insert(issue->id());
    return ids;
}

// `address` continues below `base` ("base/…"); a bare prefix such as "https://github.com"
// of "https://github.com.example.org" does not count.
bool isBelow(const QString& address, const QString& base)
{
    return address.startsWith(base + u'/', Qt::CaseInsensitive);
}

} // namespace

Merge merge(const QList<IssuePtr>& listed, const QList<IssuePtr>& fetched)
{
    const QSet<qint64> listedIds = idsOf(listed);
    Merge result;
    result.merged = withoutDuplicateIds(listed + fetched);
    for (const IssuePtr& issue : result.merged) {
        if (!listedIds.contains(issue->id()))
            result.newIds.insert(issue->id());
    }
    return result;
}

QList<IssuePtr> withoutDuplicateIds(const QList<IssuePtr>& issues)
{
    QSet<qint64> seen;
    QList<IssuePtr> kept;
    kept.reserve(issues.size());
    for (const IssuePtr& issue : issues) {
        if (!seen.contains(issue->id())) {
            seen.insert(issue->id());
            kept.append(issue);
        }
    }
    return kept;
}

bool containsId(const QList<IssuePtr>& issues, qint64 id)
{
    return std::any_of(issues.begin(), issues.end(), [id](const IssuePtr& issue) { return issue->id() == id; });
}

QString repositoryOf(const Issue& issue)
{
    return issue.repository() ? issue.repository()->fullName() : unknownRepository;
}

bool holds(const QueryClause& clause, const Issue& issue, bool starred)
{
    switch (clause.field) {
    case QueryField::Repository:
        return repositoryOf(issue).compare(clause.value, Qt::CaseInsensitive) == 0;
    case QueryField::Organization:
        return repositoryOf(issue).section(u'/', 0, 0).compare(clause.value, Qt::CaseInsensitive) == 0;
    case QueryField::Kind:
        if (clause.value == u"pr")
            return isPullRequest(issue);
        return clause.value == u"issue" && !isPullRequest(issue);
    case QueryField::State:
        // A merged pull request is closed too.
        if (clause.value == u"closed")
            return issue.displayState() != u"open";
        return issue.displayState() == clause.value;
    case QueryField::Starred:
        return starred;
    case QueryField::Reason:
    case QueryField::Draft:
    case QueryField::CI:
    case QueryField::Review:
    // The feed's account, not the item's: FeedQuery::acceptsAccount.
    case QueryField::Account:
        break;
    }
    return false;
}

QList<IssuePtr> filteredIssues(const QList<IssuePtr>& issues, const QList<IssuePtr>& favorites,
    const QList<IssuePtr>& archived, bool onlyFavorites, const FeedQuery& query)
{
    const QSet<qint64> favoriteIds = idsOf(favorites);
    const QSet<qint64> archivedIds = idsOf(archived);
    QList<IssuePtr> rows;
    for (const IssuePtr& issue : issues) {
        if ((onlyFavorites && !favoriteIds.contains(issue->id())) || archivedIds.contains(issue->id()))
            continue;
        const bool kept = query.matches(issue->title(), [&](const QueryClause& clause) {
            return holds(clause, *issue, clause.field == QueryField::Starred && favoriteIds.contains(issue->id()));
        });
        if (kept)
            rows.append(issue);
    }
    std::stable_sort(
        rows.begin(), rows.end(), [](const IssuePtr& a, const IssuePtr& b) { return a->updatedAt() > b->updatedAt(); });
    return rows;
}

QStringList queryValues(const QList<IssuePtr>& issues, QueryField field)
{
    QSet<QString> values;
    for (const IssuePtr& issue : issues) {
        if (!issue->repository())
            continue;
        if (field == QueryField::Repository)
            values.insert(issue->repository()->fullName());
        else if (field == QueryField::Organization)
            values.insert(issue->repository()->fullName().section(u'/', 0, 0));
    }
    values.remove(QString());
    QStringList sorted(values.begin(), values.end());
    sorted.sort(Qt::CaseInsensitive);
    return sorted;
}

qsizetype unarchivedCount(const QList<IssuePtr>& issues, const QList<IssuePtr>& archived)
{
    const QSet<qint64> archivedIds = idsOf(archived);
    return std::count_if(issues.begin(), issues.end(),
        [&archivedIds](const IssuePtr& issue) { return !archivedIds.contains(issue->id()); });
}

bool isPullRequest(const Issue& issue)
{
    return issue.pullRequest().has_value() || issue.htmlUrl().contains(QStringLiteral("/pull/"));
}

namespace {

// The REST API address of an item, its kind segment ("issues", "pull"…) named by `resource`.
std::optional<QUrl> itemUrl(
    const QString& address, const GitHubEndpoints& endpoints, const std::function<QString(const QString&)>& resource)
{
    // Rewriting by prefix, not by replacing every occurrence of the web host: a
    // repository may be named "github.com" or "pull", and on GitHub Enterprise the API
    // base ("ghe.example.com/api/v3") lies inside the web base ("ghe.example.com"), so
    // an API address is recognised first and never rewritten twice.
    const QString apiRepositories = endpoints.apiBase() + QStringLiteral("/repos");
    QString itemPath; // "/owner/repository/kind/number"
    if (isBelow(address, apiRepositories))
        itemPath = address.mid(apiRepositories.size());
    else if (isBelow(address, endpoints.webBase()))
        itemPath = address.mid(endpoints.webBase().size());
    else
        return std::nullopt;

    QStringList segments = itemPath.split(u'/');
    if (segments.size() > 3)
        segments[3] = resource(segments.at(3));

    const QUrl url(apiRepositories + segments.join(u'/'), QUrl::StrictMode);
    if (!url.isValid() || !endpoints.isUnderApiBase(url))
        return std::nullopt;
    // A comment anchor of the page means nothing to the API.
    return url.adjusted(QUrl::RemoveFragment);
}

} // namespace

std::optional<QUrl> apiURL(const QString& address, const GitHubEndpoints& endpoints)
{
    return itemUrl(
        address, endpoints, [](const QString& kind) { return kind == u"pull" ? QStringLiteral("pulls") : kind; });
}

std::optional<QUrl> issueURL(const QString& address, const GitHubEndpoints& endpoints)
{
    return itemUrl(address, endpoints,
        [](const QString& kind) { return kind == u"pull" || kind == u"pulls" ? QStringLiteral("issues") : kind; });
}

QString repositoryName(const QString& repositoryUrl)
{
    const QStringList pieces = repositoryUrl.split(u'/', Qt::SkipEmptyParts);
    if (pieces.size() < 2)
        return unknownRepository;
    return pieces.at(pieces.size() - 2) + u'/' + pieces.last();
}

} // namespace AssignmentRules

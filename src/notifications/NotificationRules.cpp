#include "notifications/NotificationRules.h"

#include <QHash>

#include <algorithm>

namespace NotificationRules {

namespace {

void sortNewestFirst(QList<NotificationPtr>& notifications)
{
    std::stable_sort(notifications.begin(), notifications.end(),
        [](const NotificationPtr& a, const NotificationPtr& b) { return a->updatedAt() > b->updatedAt(); });
}

QString ownerOf(const QString& repositoryName)
{
    return repositoryName.section(u'/', 0, 0);
}

// The subject type an `is:` kind names.
QString subjectTypeOf(const QString& kind)
{
    if (kind == u"pr")
        return QStringLiteral("PullRequest");
    if (kind == u"issue")
        return QStringLiteral("Issue");
    if (kind == u"release")
        return QStringLiteral("Release");
    return QStringLiteral("Discussion");
}

} // namespace

Merge merge(const QList<NotificationPtr>& listed, const QList<NotificationPtr>& fetched)
{
    QSet<QString> listedIds;
    for (const NotificationPtr& notification : listed)
        listedIds.insert(notification->id());

    QList<NotificationPtr> kept;
    QHash<QString, qsizetype> positionById;
    for (const QList<NotificationPtr>* source : {&listed, &fetched}) {
        for (const NotificationPtr& candidate : *source) {
            const auto found = positionById.constFind(candidate->id());
            if (found == positionById.constEnd()) {
                positionById.insert(candidate->id(), kept.size());
                kept.append(candidate);
            } else if (candidate->updatedAt() > kept.at(*found)->updatedAt()) {
                kept[*found] = candidate;
            }
        }
    }
    sortNewestFirst(kept);

    Merge result;
    for (const NotificationPtr& notification : kept) {
        if (!listedIds.contains(notification->id()))
            result.newIds.insert(notification->id());
    }
    result.merged = std::move(kept);
    return result;
}

QStringList repositoryChoices(const QList<NotificationPtr>& notifications)
{
    QStringList names;
    for (const NotificationPtr& notification : notifications)
        names.append(notification->repository().fullName());
    names.sort(Qt::CaseSensitive);
    names.removeDuplicates();
    names.prepend(allRepositories);
    return names;
}

bool isStillDone(const Notification& notification, const DoneMarks& marks)
{
    const auto mark = marks.constFind(notification.id());
    return mark != marks.constEnd() && notification.updatedAt() <= *mark;
}

bool isCompleted(const Notification& notification)
{
    const std::optional<QString>& state = notification.subject().state();
    return state && (*state == u"closed" || *state == u"merged" || *state == u"resolved");
}

bool holds(const QueryClause& clause, const Notification& notification, bool starred)
{
    const Subject& subject = notification.subject();
    const auto is = [](const std::optional<QString>& word, const QString& value) { return word && *word == value; };
    switch (clause.field) {
    case QueryField::Repository:
        return notification.repository().fullName().compare(clause.value, Qt::CaseInsensitive) == 0;
    case QueryField::Organization:
        return ownerOf(notification.repository().fullName()).compare(clause.value, Qt::CaseInsensitive) == 0;
    case QueryField::Reason:
        return is(notification.reason(), clause.value);
    case QueryField::Kind:
        return subject.type() == subjectTypeOf(clause.value);
    case QueryField::State:
        // A merged pull request and a resolved discussion are closed too.
        if (clause.value == u"closed")
            return subject.state() && *subject.state() != u"open";
        return is(subject.state(), clause.value);
    case QueryField::Starred:
        return starred;
    case QueryField::CI:
        return is(subject.ciStatus(), clause.value);
    case QueryField::Review:
        return is(subject.reviewStatus(), clause.value);
    case QueryField::Draft:
    // The feed's account, not the thread's: FeedQuery::acceptsAccount.
    case QueryField::Account:
        break;
    }
    return false;
}

QList<NotificationPtr> filtered(const QList<NotificationPtr>& notifications, const QString& selectedRepository,
    const FeedQuery& query, const QSet<QString>& favoriteIds)
{
    QList<NotificationPtr> rows;
    for (const NotificationPtr& notification : notifications) {
        if (selectedRepository != allRepositories && notification->repository().fullName() != selectedRepository)
            continue;
        const bool kept = query.matches(notification->subject().title(), [&](const QueryClause& clause) {
            const bool starred = clause.field == QueryField::Starred && favoriteIds.contains(notification->id());
            return holds(clause, *notification, starred);
        });
        if (kept)
            rows.append(notification);
    }
    sortNewestFirst(rows);
    return rows;
}

QList<NotificationPtr> filtered(
    const QList<NotificationPtr>& notifications, const QString& selectedRepository, const QString& text)
{
    return filtered(notifications, selectedRepository, FeedQuery::parse(text, queryFields), {});
}

QStringList queryValues(const QList<NotificationPtr>& notifications, QueryField field)
{
    QSet<QString> values;
    for (const NotificationPtr& notification : notifications) {
        const QString& repository = notification->repository().fullName();
        if (field == QueryField::Repository)
            values.insert(repository);
        else if (field == QueryField::Organization)
            values.insert(ownerOf(repository));
        else if (field == QueryField::Reason && notification->reason())
            values.insert(*notification->reason());
    }
    values.remove(QString());
    QStringList sorted(values.begin(), values.end());
    sorted.sort(Qt::CaseInsensitive);
    return sorted;
}

std::optional<QUrl> webURL(const Notification& notification, const GitHubEndpoints& endpoints)
{
    const Subject& subject = notification.subject();
    const QString reason = notification.reason().value_or(QString());
    QString page;
    if ((reason == u"invitation" || reason == u"subscribed") && subject.title().contains(u"Invitation to join")) {
        page = endpoints.webBase() + u'/' + notification.repository().fullName() + QStringLiteral("/invitations");
    } else {
        // Only the leading REST base is rewritten, and only the kind segment "pulls": a
        // repository or branch named "pulls" stays what it is.
        const QString repos = endpoints.apiBase() + QStringLiteral("/repos/");
        if (!subject.url() || !subject.url()->startsWith(repos))
            return std::nullopt;
        QStringList segments = subject.url()->mid(repos.size()).split(u'/');
        if (segments.size() >= 3 && segments[2] == u"pulls")
            segments[2] = QStringLiteral("pull");
        page = endpoints.webBase() + u'/' + segments.join(u'/');
    }
    const QUrl url(page, QUrl::StrictMode);
    if (!endpoints.isUnderWebBase(url))
        return std::nullopt;
    return url;
}

} // namespace NotificationRules

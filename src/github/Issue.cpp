#include "github/Issue.h"

#include "github/JsonObjectReader.h"
#include "github/JsonWriting.h"

#include <QJsonArray>
#include <QJsonDocument>

Issue::Issue(qint64 id, QString title, QString htmlUrl, QString state, QString updatedAt)
    : m_id(id)
    , m_title(std::move(title))
    , m_htmlUrl(std::move(htmlUrl))
    , m_state(std::move(state))
    , m_updatedAt(std::move(updatedAt))
{ }

Issue::Issue(qint64 id, QString title, QString htmlUrl, QString state, QString updatedAt, OptionalFields optional)
    : m_id(id)
    , m_title(std::move(title))
    , m_htmlUrl(std::move(htmlUrl))
    , m_repositoryUrl(std::move(optional.repositoryUrl))
    , m_labelsUrl(std::move(optional.labelsUrl))
    , m_commentsUrl(std::move(optional.commentsUrl))
    , m_eventsUrl(std::move(optional.eventsUrl))
    , m_state(std::move(state))
    , m_createdAt(std::move(optional.createdAt))
    , m_updatedAt(std::move(updatedAt))
    , m_closedAt(std::move(optional.closedAt))
    , m_body(std::move(optional.body))
    , m_repository(std::move(optional.repository))
    , m_pullRequest(std::move(optional.pullRequest))
{ }

QString Issue::displayState() const
{
    if (m_pullRequest && m_pullRequest->mergedAt())
        return QStringLiteral("merged");
    return m_state;
}

IssuePtr Issue::fromJson(const JsonValueReader& value)
{
    // Fields are read in declaration order so that the first fault reported is stable.
    const JsonObjectReader object = value.toObject(QLatin1String("Issue"));
    const qint64 id = object.int64(QLatin1String("id"));
    QString title = object.string(QLatin1String("title"));
    QString htmlUrl = object.string(QLatin1String("html_url"));
    OptionalFields optional;
    optional.repositoryUrl = object.optionalString(QLatin1String("repository_url"));
    optional.labelsUrl = object.optionalString(QLatin1String("labels_url"));
    optional.commentsUrl = object.optionalString(QLatin1String("comments_url"));
    optional.eventsUrl = object.optionalString(QLatin1String("events_url"));
    QString state = object.string(QLatin1String("state"));
    optional.createdAt = object.optionalString(QLatin1String("created_at"));
    QString updatedAt = object.string(QLatin1String("updated_at"));
    optional.closedAt = object.optionalString(QLatin1String("closed_at"));
    optional.body = object.optionalString(QLatin1String("body"));
    if (const auto repository = object.optional(QLatin1String("repository")))
        optional.repository = Repository::fromJson(repository->toObject(QLatin1String("Repository")));
    if (const auto pullRequest = object.optional(QLatin1String("pull_request")))
        optional.pullRequest = PullRequestInfo::fromJson(pullRequest->toObject(QLatin1String("PullRequestInfo")));
    return std::make_shared<Issue>(
        id, std::move(title), std::move(htmlUrl), std::move(state), std::move(updatedAt), std::move(optional));
}

QJsonObject Issue::toJson() const
{
    QJsonObject object {
        {QLatin1String("id"), m_id},
        {QLatin1String("title"), m_title},
        {QLatin1String("html_url"), m_htmlUrl},
        {QLatin1String("state"), m_state},
        {QLatin1String("updated_at"), m_updatedAt},
    };
    insertIfPresent(object, QLatin1String("repository_url"), m_repositoryUrl);
    insertIfPresent(object, QLatin1String("labels_url"), m_labelsUrl);
    insertIfPresent(object, QLatin1String("comments_url"), m_commentsUrl);
    insertIfPresent(object, QLatin1String("events_url"), m_eventsUrl);
    insertIfPresent(object, QLatin1String("created_at"), m_createdAt);
    insertIfPresent(object, QLatin1String("closed_at"), m_closedAt);
    insertIfPresent(object, QLatin1String("body"), m_body);
    if (m_repository)
        object.insert(QLatin1String("repository"), m_repository->toJson());
    if (m_pullRequest)
        object.insert(QLatin1String("pull_request"), m_pullRequest->toJson());
    return object;
}

Decoded<QList<IssuePtr>> Issue::decodeList(const QByteArray& json)
{
    return JsonDecoder::decodeList(json, &Issue::fromJson);
}

QByteArray Issue::encodeList(const QList<IssuePtr>& issues)
{
    QJsonArray array;
    for (const IssuePtr& issue : issues)
        array.append(issue->toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

#pragma once

#include "github/JsonDecoder.h"
#include "github/PullRequestInfo.h"
#include "github/Repository.h"

#include <QList>

#include <memory>

class Issue;

// Assigned items are shared: the assignments, favourites and archived lists hold the
// same records, and the assignments controller changes some fields in place.
using IssuePtr = std::shared_ptr<Issue>;

// One issue or pull request assigned to the user, as GET /issues gives it. Its
// identity is the 64-bit id. The same JSON form serves the server's reply and the
// cached list; times stay the server's ISO 8601 text.
class Issue
{
public:
    // The fields a record has besides the ones the server always sends.
    struct OptionalFields
    {
        std::optional<QString> repositoryUrl;
        std::optional<QString> labelsUrl;
        std::optional<QString> commentsUrl;
        std::optional<QString> eventsUrl;
        std::optional<QString> createdAt;
        std::optional<QString> closedAt;
        std::optional<QString> body;
        std::optional<Repository> repository;
        std::optional<PullRequestInfo> pullRequest;
    };

    // The fields the server always sends; the optional ones are read by fromJson.
    Issue(qint64 id, QString title, QString htmlUrl, QString state, QString updatedAt);
    Issue(qint64 id, QString title, QString htmlUrl, QString state, QString updatedAt, OptionalFields optional);

    qint64 id() const { return m_id; }
    const QString& title() const { return m_title; }
    // The item's web page.
    const QString& htmlUrl() const { return m_htmlUrl; }
    // The REST API URL of the repository.
    const std::optional<QString>& repositoryUrl() const { return m_repositoryUrl; }
    const std::optional<QString>& labelsUrl() const { return m_labelsUrl; }
    const std::optional<QString>& commentsUrl() const { return m_commentsUrl; }
    const std::optional<QString>& eventsUrl() const { return m_eventsUrl; }
    // "open" or "closed" from the server, or "merged" written by the controller.
    const QString& state() const { return m_state; }
    const std::optional<QString>& createdAt() const { return m_createdAt; }
    const QString& updatedAt() const { return m_updatedAt; }
    const std::optional<QString>& closedAt() const { return m_closedAt; }
    const std::optional<QString>& body() const { return m_body; }
    const std::optional<Repository>& repository() const { return m_repository; }
    // Present when the item is a pull request.
    const std::optional<PullRequestInfo>& pullRequest() const { return m_pullRequest; }

    void setTitle(const QString& title) { m_title = title; }
    void setState(const QString& state) { m_state = state; }
    void setUpdatedAt(const QString& updatedAt) { m_updatedAt = updatedAt; }
    void setRepository(const std::optional<Repository>& repository) { m_repository = repository; }
    void setPullRequest(const std::optional<PullRequestInfo>& pullRequest) { m_pullRequest = pullRequest; }

    // What the assignments row shows: "merged" for a pull request with a merge time,
    // otherwise the state.
    QString displayState() const;

    // Throws DecodingError (see JsonValueReader).
    static IssuePtr fromJson(const JsonValueReader& value);
    // Optional fields are written only when they have a value.
    QJsonObject toJson() const;

    // A JSON array of items: the server's reply or the cache. One bad item fails the whole list.
    static Decoded<QList<IssuePtr>> decodeList(const QByteArray& json);
    // Compact JSON, in list order.
    static QByteArray encodeList(const QList<IssuePtr>& issues);

    friend bool operator==(const Issue&, const Issue&) = default;

private:
    qint64 m_id;
    QString m_title;
    QString m_htmlUrl;
    std::optional<QString> m_repositoryUrl;
    std::optional<QString> m_labelsUrl;
    std::optional<QString> m_commentsUrl;
    std::optional<QString> m_eventsUrl;
    QString m_state;
    std::optional<QString> m_createdAt;
    QString m_updatedAt;
    std::optional<QString> m_closedAt;
    std::optional<QString> m_body;
    std::optional<Repository> m_repository;
    std::optional<PullRequestInfo> m_pullRequest;
};

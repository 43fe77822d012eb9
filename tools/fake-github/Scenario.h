#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// What the fake GitHub knows: the user's notification threads, the issues and pull
// requests assigned to them, and any other REST resource by path. Each part keeps the
// moment it last changed, which becomes its Last-Modified; the moment moves forward by
// at least a second on every change so that If-Modified-Since always sees the change.
class Scenario
{
public:
    struct Resource
    {
        int status = 200;
        QByteArray body;
        QDateTime lastModified;
    };

    Scenario();

    // Threads, identified by their "id" string; adding a known id replaces that thread
    // (and brings it back to the lists if it was done: an update).
    void setThreads(const QJsonArray& threads);
    void addThread(const QJsonObject& thread);
    std::optional<QJsonObject> thread(const QString& id) const;
    // Sets "unread" to false and "last_read_at" to now; false for an unknown id.
    bool markThreadRead(const QString& id);
    // Marks the thread read and takes it out of the lists until it is added again;
    // false for an unknown id.
    bool markThreadDone(const QString& id);
    bool isThreadDone(const QString& id) const { return m_doneThreadIds.contains(id); }
    // The threads updated at or after `since` (ISO 8601 text; empty for all), unread
    // ones only unless `includeRead`, never done ones, newest "updated_at" first.
    QJsonArray threads(const QString& since, bool includeRead) const;
    QDateTime threadsModified() const { return m_threadsModified; }

    // Assigned issues and pull requests, identified by their integer "id".
    void setIssues(const QJsonArray& issues);
    void addIssue(const QJsonObject& issue);
    // GitHub's /issues query: `state` "open", "closed" or "all"; `sort` "created",
    // "updated" or "comments"; descending unless `ascending`.
    QJsonArray issues(const QString& since, const QString& state, const QString& sort, bool ascending) const;
    QDateTime issuesModified() const { return m_issuesModified; }

    // Any other resource, by its path under the API base (e.g. "/repos/o/r/pulls/1").
    // Setting the same status and body again keeps its Last-Modified.
    void setResource(const QString& path, int status, const QByteArray& body);
    void removeResource(const QString& path);
    std::optional<Resource> resource(const QString& path) const;

private:
    static QDateTime nextModification(const QDateTime& previous);

    // The last answer to each list query, as the list stood at `modified`: a client reads
    // a long list page by page with the same query.
    struct Answer
    {
        QString query;
        QDateTime modified;
        QJsonArray items;
    };

    QList<QJsonObject> m_threads;
    QSet<QString> m_doneThreadIds;
    QList<QJsonObject> m_issues;
    QHash<QString, Resource> m_resources;
    QDateTime m_threadsModified;
    QDateTime m_issuesModified;
    mutable std::optional<Answer> m_threadsAnswer;
    mutable std::optional<Answer> m_issuesAnswer;
};

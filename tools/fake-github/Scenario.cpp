#include "Scenario.h"

#include <QTimeZone>

#include <algorithm>

namespace {

QString text(const QJsonObject& object, const QString& key)
{
    return object.value(key).toString();
}

QJsonArray sortedBy(QList<QJsonObject> items, const QString& key, bool ascending)
{
    std::stable_sort(items.begin(), items.end(), [&](const QJsonObject& a, const QJsonObject& b) {
        const QJsonValue left = a.value(key);
        const QJsonValue right = b.value(key);
        const bool less = left.isDouble() ? left.toDouble() < right.toDouble() : left.toString() < right.toString();
        const bool greater = left.isDouble() ? left.toDouble() > right.toDouble() : left.toString() > right.toString();
        return ascending ? less : greater;
    });
    QJsonArray result;
    for (const QJsonObject& item : items)
        result.append(item);
    return result;
}

} // namespace

Scenario::Scenario()
    : m_threadsModified(nextModification({}))
    , m_issuesModified(m_threadsModified)
{ }

void Scenario::setThreads(const QJsonArray& threads)
{
    m_threads.clear();
    m_doneThreadIds.clear();
    for (const QJsonValue& thread : threads)
        m_threads.append(thread.toObject());
    m_threadsModified = nextModification(m_threadsModified);
}

void Scenario::addThread(const QJsonObject& thread)
{
    const QString id = text(thread, QStringLiteral("id"));
    const auto known = std::find_if(
        m_threads.begin(), m_threads.end(), [&](const QJsonObject& t) { return text(t, QStringLiteral("id")) == id; });
    if (known != m_threads.end())
        *known = thread;
    else
        m_threads.append(thread);
    m_doneThreadIds.remove(id);
    m_threadsModified = nextModification(m_threadsModified);
}

std::optional<QJsonObject> Scenario::thread(const QString& id) const
{
    for (const QJsonObject& thread : m_threads) {
        if (text(thread, QStringLiteral("id")) == id)
            return thread;
    }
    return std::nullopt;
}

bool Scenario::markThreadRead(const QString& id)
{
    for (QJsonObject& thread : m_threads) {
        if (text(thread, QStringLiteral("id")) != id)
            continue;
        m_threadsModified = nextModification(m_threadsModified);
        thread.insert(QStringLiteral("unread"), false);
        thread.insert(QStringLiteral("last_read_at"), m_threadsModified.toString(Qt::ISODate));
        return true;
    }
    return false;
}

bool Scenario::markThreadDone(const QString& id)
{
    if (!markThreadRead(id))
        return false;
    m_doneThreadIds.insert(id);
    return true;
}

QJsonArray Scenario::threads(const QString& since, bool includeRead) const
{
    const QString query = since + (includeRead ? u'+' : u'-');
    if (m_threadsAnswer && m_threadsAnswer->query == query && m_threadsAnswer->modified == m_threadsModified)
        return m_threadsAnswer->items;
    QList<QJsonObject> selected;
    for (const QJsonObject& thread : m_threads) {
        if (!includeRead && !thread.value(QStringLiteral("unread")).toBool(true))
            continue;
        if (m_doneThreadIds.contains(text(thread, QStringLiteral("id"))))
            continue;
        if (text(thread, QStringLiteral("updated_at")) >= since)
            selected.append(thread);
    }
    m_threadsAnswer = Answer {query, m_threadsModified, sortedBy(selected, QStringLiteral("updated_at"), false)};
    return m_threadsAnswer->items;
}

void Scenario::setIssues(const QJsonArray& issues)
{
    m_issues.clear();
    for (const QJsonValue& issue : issues)
        m_issues.append(issue.toObject());
    m_issuesModified = nextModification(m_issuesModified);
}

void Scenario::addIssue(const QJsonObject& issue)
{
    const QJsonValue id = issue.value(QStringLiteral("id"));
    const auto known = std::find_if(
        m_issues.begin(), m_issues.end(), [&](const QJsonObject& i) { return i.value(QStringLiteral("id")) == id; });
    if (known != m_issues.end())
        *known = issue;
    else
        m_issues.append(issue);
    m_issuesModified = nextModification(m_issuesModified);
}

QJsonArray Scenario::issues(const QString& since, const QString& state, const QString& sort, bool ascending) const
{
    const QString query = since + u'\n' + state + u'\n' + sort + (ascending ? u'+' : u'-');
    if (m_issuesAnswer && m_issuesAnswer->query == query && m_issuesAnswer->modified == m_issuesModified)
        return m_issuesAnswer->items;
    QList<QJsonObject> selected;
    for (const QJsonObject& issue : m_issues) {
        if (state != QLatin1String("all") && text(issue, QStringLiteral("state")) != state)
            continue;
        if (text(issue, QStringLiteral("updated_at")) >= since)
            selected.append(issue);
    }
    const QString key = sort == QLatin1String("updated") ? QStringLiteral("updated_at")
        : sort == QLatin1String("comments")              ? QStringLiteral("comments")
                                                         : QStringLiteral("created_at");
    m_issuesAnswer = Answer {query, m_issuesModified, sortedBy(selected, key, ascending)};
    return m_issuesAnswer->items;
}

void Scenario::setResource(const QString& path, int status, const QByteArray& body)
{
    Resource& resource = m_resources[path];
    if (resource.lastModified.isValid() && resource.status == status && resource.body == body)
        return;
    resource.status = status;
    resource.body = body;
    resource.lastModified = nextModification(resource.lastModified);
}

void Scenario::removeResource(const QString& path)
{
    m_resources.remove(path);
}

std::optional<Scenario::Resource> Scenario::resource(const QString& path) const
{
    const auto found = m_resources.constFind(path);
    if (found == m_resources.constEnd())
        return std::nullopt;
    return *found;
}

QDateTime Scenario::nextModification(const QDateTime& previous)
{
    const QDateTime now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), QTimeZone::utc());
    if (previous.isValid() && now <= previous)
        return previous.addSecs(1);
    return now;
}

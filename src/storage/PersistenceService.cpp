#include "storage/PersistenceService.h"

#include "core/Console.h"
#include "core/Scheduler.h"
#include "storage/CompactRecords.h"
#include "storage/Environment.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <cmath>

namespace {

// The reference date of the stored dates: 2001-01-01T00:00:00Z.
const QDateTime kReferenceDate(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());

QString lastPullDateKey(bool forAssignments)
{
    return forAssignments ? PreferenceKeys::lastPullDateAssignments : PreferenceKeys::lastPullDate;
}

template <typename T>
std::optional<T> decoded(Decoded<T> result)
{
    if (auto* value = std::get_if<T>(&result))
        return std::move(*value);
    return std::nullopt;
}

} // namespace

PersistenceService::PersistenceService(const Environment& environment)
    : m_clock(*environment.scheduler)
    , m_console(environment.console)
    , m_preferences(*environment.preferences)
{ }

void PersistenceService::save(const QList<NotificationPtr>& notifications, const QString& key)
{
    if (m_preferences.setData(key, Notification::encodeList(notifications)) || !m_preferences.compactForm(key))
        m_preferences.setCompactForm(key, CompactRecords::encode(notifications));
}

void PersistenceService::save(const QList<IssuePtr>& issues, const QString& key)
{
    m_preferences.setData(key, Issue::encodeList(issues));
}

void PersistenceService::save(const QSet<QString>& ids, const QString& key)
{
    m_preferences.setData(key, QJsonDocument(QJsonArray::fromStringList(ids.values())).toJson(QJsonDocument::Compact));
}

void PersistenceService::save(const QHash<QString, QDateTime>& dates, const QString& key)
{
    QJsonObject object;
    for (auto date = dates.cbegin(); date != dates.cend(); ++date) {
        if (!date->isValid())
            return;
        object.insert(date.key(), static_cast<double>(kReferenceDate.msecsTo(*date)) / 1000.0);
    }
    m_preferences.setData(key, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void PersistenceService::save(const QHash<QString, QString>& texts, const QString& key)
{
    QJsonObject object;
    for (auto text = texts.cbegin(); text != texts.cend(); ++text)
        object.insert(text.key(), *text);
    m_preferences.setData(key, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

std::optional<QList<NotificationPtr>> PersistenceService::loadNotifications(const QString& key) const
{
    reportSnapshotProblem();
    if (const std::optional<QByteArray> form = m_preferences.compactForm(key)) {
        if (std::optional<QList<NotificationPtr>> notifications = CompactRecords::decodeNotifications(*form))
            return notifications;
    }
    const std::optional<QByteArray> data = m_preferences.data(key);
    std::optional<QList<NotificationPtr>> notifications
        = data ? decoded(Notification::decodeList(*data)) : std::nullopt;
    // The next start reads them from the snapshot.
    if (notifications)
        m_preferences.setCompactForm(key, CompactRecords::encode(*notifications));
    return notifications;
}

std::optional<QList<IssuePtr>> PersistenceService::loadIssues(const QString& key) const
{
    reportSnapshotProblem();
    const std::optional<QByteArray> data = m_preferences.data(key);
    return data ? decoded(Issue::decodeList(*data)) : std::nullopt;
}

std::optional<QSet<QString>> PersistenceService::loadIds(const QString& key) const
{
    reportSnapshotProblem();
    const std::optional<QByteArray> data = m_preferences.data(key);
    if (!data)
        return std::nullopt;
    return decoded(JsonDecoder::decode(*data, [](const JsonValueReader& top) {
        const QList<QString> ids = top.toList([](const JsonValueReader& id) { return id.toString(); });
        return QSet<QString>(ids.cbegin(), ids.cend());
    }));
}

std::optional<QHash<QString, QDateTime>> PersistenceService::loadDates(const QString& key) const
{
    reportSnapshotProblem();
    const std::optional<QByteArray> data = m_preferences.data(key);
    if (!data)
        return std::nullopt;
    const std::optional<QJsonValue> top = decoded(JsonDecoder::parse(*data));
    if (!top || !top->isObject())
        return std::nullopt;
    const QJsonObject object = top->toObject();
    QHash<QString, QDateTime> dates;
    dates.reserve(object.size());
    for (auto entry = object.constBegin(); entry != object.constEnd(); ++entry) {
        if (!entry->isDouble())
            return std::nullopt;
        // Beyond QDateTime's range of about ±292 million years there is no moment to give.
        const double milliseconds = std::round(entry->toDouble() * 1000.0);
        if (std::abs(milliseconds) > 9e18)
            return std::nullopt;
        dates.insert(entry.key(), kReferenceDate.addMSecs(static_cast<qint64>(milliseconds)));
    }
    return dates;
}

std::optional<QHash<QString, QString>> PersistenceService::loadTexts(const QString& key) const
{
    reportSnapshotProblem();
    const std::optional<QByteArray> data = m_preferences.data(key);
    if (!data)
        return std::nullopt;
    const std::optional<QJsonValue> top = decoded(JsonDecoder::parse(*data));
    if (!top || !top->isObject())
        return std::nullopt;
    const QJsonObject object = top->toObject();
    QHash<QString, QString> texts;
    texts.reserve(object.size());
    for (auto entry = object.constBegin(); entry != object.constEnd(); ++entry) {
        if (!entry->isString())
            return std::nullopt;
        texts.insert(entry.key(), entry->toString());
    }
    return texts;
}

void PersistenceService::reportSnapshotProblem() const
{
    const std::optional<QString> problem = m_preferences.takeSnapshotProblem();
    if (problem && m_console)
        m_console->print(*problem);
}

QDateTime PersistenceService::getLastPullDate(bool forAssignments) const
{
    if (const std::optional<QDateTime> stored = m_preferences.date(lastPullDateKey(forAssignments)))
        return *stored;
    // Calendar arithmetic on the user's local date: 29 February goes back to 28 February.
    return m_clock.now().toLocalTime().addYears(-1).toUTC();
}

void PersistenceService::setLastPullDate(const QDateTime& moment, bool forAssignments)
{
    m_preferences.setDate(lastPullDateKey(forAssignments), moment);
}

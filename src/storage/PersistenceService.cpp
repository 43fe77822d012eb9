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

// A list is written as JSON, the source of truth, and kept in its compact form for the
// snapshot.
template <typename Record>
void saveRecords(PreferenceStore& preferences, const QString& key, const QList<Record>& records, const QByteArray& json)
{
    if (preferences.setData(key, json) || !preferences.compactForm(key))
        preferences.setCompactForm(key, CompactRecords::encode(records));
}

// A list from its compact form when the snapshot has it, else from its JSON.
template <typename Record>
std::optional<QList<Record>> loadRecords(PreferenceStore& preferences, const QString& key,
    std::optional<QList<Record>> (*decodeCompact)(const QByteArray&),
    Decoded<QList<Record>> (*decodeJson)(const QByteArray&))
{
    if (const std::optional<QByteArray> form = preferences.compactForm(key)) {
        if (std::optional<QList<Record>> records = decodeCompact(*form))
            return records;
    }
    const std::optional<QByteArray> data = preferences.data(key);
    std::optional<QList<Record>> records = data ? decoded(decodeJson(*data)) : std::nullopt;
    // The next start reads them from the snapshot.
    if (records)
        preferences.setCompactForm(key, CompactRecords::encode(*records));
    return records;
}

} // namespace

PersistenceService::PersistenceService(const Environment& environment)
    : m_clock(*environment.scheduler)
    , m_console(environment.console)
    , m_preferences(*environment.preferences)
{ }

void PersistenceService::save(const QList<NotificationPtr>& notifications, const QString& key)
{
    saveRecords(m_preferences, key, notifications, Notification::encodeList(notifications));
}

void PersistenceService::save(const QList<IssuePtr>& issues, const QString& key)
{
    saveRecords(m_preferences, key, issues, Issue::encodeList(issues));
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
    return loadRecords(m_preferences, key, &CompactRecords::decodeNotifications, &Notification::decodeList);
}

std::optional<QList<IssuePtr>> PersistenceService::loadIssues(const QString& key) const
{
    reportSnapshotProblem();
    return loadRecords(m_preferences, key, &CompactRecords::decodeIssues, &Issue::decodeList);
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
    return loadObject<QDateTime>(key, [](const QJsonValue& value) -> std::optional<QDateTime> {
        if (!value.isDouble())
            return std::nullopt;
        // Beyond QDateTime's range of about ±292 million years there is no moment to give.
        const double milliseconds = std::round(value.toDouble() * 1000.0);
        if (std::abs(milliseconds) > 9e18)
            return std::nullopt;
        return kReferenceDate.addMSecs(static_cast<qint64>(milliseconds));
    });
}

std::optional<QHash<QString, QString>> PersistenceService::loadTexts(const QString& key) const
{
    return loadObject<QString>(key, [](const QJsonValue& value) -> std::optional<QString> {
        if (!value.isString())
            return std::nullopt;
        return value.toString();
    });
}

template <typename T>
std::optional<QHash<QString, T>> PersistenceService::loadObject(
    const QString& key, const std::function<std::optional<T>(const QJsonValue&)>& convert) const
{
    reportSnapshotProblem();
    const std::optional<QByteArray> data = m_preferences.data(key);
    if (!data)
        return std::nullopt;
    const std::optional<QJsonValue> top = decoded(JsonDecoder::parse(*data));
    if (!top || !top->isObject())
        return std::nullopt;
    const QJsonObject object = top->toObject();
    QHash<QString, T> values;
    values.reserve(object.size());
    for (auto entry = object.constBegin(); entry != object.constEnd(); ++entry) {
        std::optional<T> value = convert(*entry);
        if (!value)
            return std::nullopt;
        values.insert(entry.key(), std::move(*value));
    }
    return values;
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

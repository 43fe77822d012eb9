#pragma once

#include "github/Issue.h"
#include "github/Notification.h"

#include <QDateTime>
#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class Clock;
class Console;
class PreferenceStore;
struct Environment;

// Turns the controllers' lists, marks and dates into the values of the preference
// store and back (encodings in PreferenceKeys.h). Each feed controller owns one. It
// has no state of its own and reports no error: a value that cannot be read counts as
// absent (and stays until the next save of its key overwrites it), and the callers
// substitute their defaults. Lists of threads also get their compact form, which the
// store's snapshot keeps and a start reads instead of the JSON; the one line it
// prints says when a start could not use the snapshot.
class PersistenceService
{
public:
    // Uses the environment's preferences, and its scheduler as the clock.
    explicit PersistenceService(const Environment& environment);

    void save(const QList<NotificationPtr>& notifications, const QString& key);
    void save(const QList<IssuePtr>& issues, const QString& key);
    // A JSON array of strings; order not significant.
    void save(const QSet<QString>& ids, const QString& key);
    // A JSON object: key -> seconds since 2001-01-01T00:00:00Z. A map holding an
    // invalid date cannot be encoded and leaves the stored value as it was.
    void save(const QHash<QString, QDateTime>& dates, const QString& key);
    // A JSON object of strings.
    void save(const QHash<QString, QString>& texts, const QString& key);

    // None when the key holds nothing, something other than data, or data that does
    // not decode as that type.
    std::optional<QList<NotificationPtr>> loadNotifications(const QString& key) const;
    std::optional<QList<IssuePtr>> loadIssues(const QString& key) const;
    std::optional<QSet<QString>> loadIds(const QString& key) const;
    // Dates in UTC, to the millisecond.
    std::optional<QHash<QString, QDateTime>> loadDates(const QString& key) const;
    std::optional<QHash<QString, QString>> loadTexts(const QString& key) const;

    // The date stored under "lastPullDateAssignments" or "lastPullDate"; without one
    // (or with a value of another type), now minus one calendar year in local time,
    // given in UTC.
    QDateTime getLastPullDate(bool forAssignments) const;
    void setLastPullDate(const QDateTime& moment, bool forAssignments);

private:
    // Prints the store's snapshot problem, the first time it is known in the process.
    void reportSnapshotProblem() const;
    // A JSON object of values under `key`; none when any value does not convert.
    template <typename T>
    std::optional<QHash<QString, T>> loadObject(
        const QString& key, const std::function<std::optional<T>(const QJsonValue&)>& convert) const;

    const Clock& m_clock;
    // None in tools that have no console.
    Console* m_console;
    PreferenceStore& m_preferences;
};

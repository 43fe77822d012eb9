#pragma once

#include "core/LogEntry.h"

#include <QAbstractListModel>
#include <QPointer>

#include <optional>

class DebugLogger;

// The entries of the debug log as a list, oldest first, optionally restricted to one
// level. Follows the logger row by row (an entry appended, the oldest trimmed, the log
// cleared), so a view keeps its scroll position and selection.
class LogEntryModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        TimeTextRole = Qt::UserRole + 1, // "HH:mm:ss.SSS", local time
        LevelRole, // LogLevel as int
        MarkRole,
        SourceRole,
        MessageRole,
        IdRole,
    };

    explicit LogEntryModel(DebugLogger& logger, QObject* parent = nullptr);

    // None shows every level.
    void setLevelFilter(std::optional<LogLevel> level);

    // The row of the entry with `id`, or -1 when it is not listed.
    int rowOf(const QUuid& id) const;
    const LogEntry& entryAt(int row) const { return m_entries.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // One line per entry: time, mark, source and message, as the console echo shows them.
    static QString lineOf(const LogEntry& entry);

private:
    void follow();
    QList<LogEntry> filtered() const;

    DebugLogger& m_logger;
    std::optional<LogLevel> m_level;
    QList<LogEntry> m_entries;
};

#include "views/LogEntryModel.h"

#include "core/DebugLogger.h"

#include <algorithm>

LogEntryModel::LogEntryModel(DebugLogger& logger, QObject* parent)
    : QAbstractListModel(parent)
    , m_logger(logger)
    , m_entries(filtered())
{
    connect(&m_logger, &DebugLogger::logsChanged, this, &LogEntryModel::follow);
}

void LogEntryModel::setLevelFilter(std::optional<LogLevel> level)
{
    if (m_level == level)
        return;
    beginResetModel();
    m_level = level;
    m_entries = filtered();
    endResetModel();
}

QList<LogEntry> LogEntryModel::filtered() const
{
    QList<LogEntry> entries = m_logger.logs();
    if (m_level)
        entries.removeIf([level = *m_level](const LogEntry& entry) { return entry.level != level; });
    return entries;
}

void LogEntryModel::follow()
{
    // The log only ever appends at the end and trims from the front (or empties).
    const QList<LogEntry> entries = filtered();
    const auto kept = entries.isEmpty() ? m_entries.cend()
                                        : std::find_if(m_entries.cbegin(), m_entries.cend(),
                                            [&](const LogEntry& e) { return e.id == entries.first().id; });
    const int trimmed = static_cast<int>(kept - m_entries.cbegin());
    if (trimmed > 0) {
        beginRemoveRows({}, 0, trimmed - 1);
        m_entries.remove(0, trimmed);
        endRemoveRows();
    }
    if (entries.size() > m_entries.size()) {
        beginInsertRows({}, static_cast<int>(m_entries.size()), static_cast<int>(entries.size()) - 1);
        m_entries = entries;
        endInsertRows();
    }
}

int LogEntryModel::rowOf(const QUuid& id) const
{
    for (int row = static_cast<int>(m_entries.size()) - 1; row >= 0; --row) {
        if (m_entries.at(row).id == id)
            return row;
    }
    return -1;
}

int LogEntryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QString LogEntryModel::lineOf(const LogEntry& entry)
{
    return entry.timeText() + u' ' + consoleMark(entry.level) + QStringLiteral(" [") + entry.source
        + QStringLiteral("] ") + entry.message;
}

QVariant LogEntryModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const LogEntry& entry = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return lineOf(entry);
    case Qt::AccessibleTextRole:
        return QString(rawValue(entry.level) + QStringLiteral(", ") + lineOf(entry));
    case TimeTextRole:
        return entry.timeText();
    case LevelRole:
        return static_cast<int>(entry.level);
    case MarkRole:
        return consoleMark(entry.level);
    case SourceRole:
        return entry.source;
    case MessageRole:
        return entry.message;
    case IdRole:
        return entry.id;
    default:
        return {};
    }
}

#pragma once

#include "core/LogLevel.h"

#include <QDateTime>
#include <QString>
#include <QUuid>

// One entry of the debug log. Identity is `id`.
struct LogEntry
{
    QUuid id;
    QDateTime timestamp; // when the entry reached the log, on the main thread
    LogLevel level = LogLevel::Info;
    QString message;
    QString source; // short word naming the writer, e.g. "OAuth"

    // The local time of day to the millisecond, as every view of the log shows it.
    QString timeText() const { return timestamp.toLocalTime().toString(QStringLiteral("HH:mm:ss.zzz")); }
};

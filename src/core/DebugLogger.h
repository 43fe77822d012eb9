#pragma once

#include "core/LogEntry.h"

#include <QList>
#include <QObject>

class Clock;
class Console;

// The application's in-memory log: the last 100 entries, oldest first, each also
// echoed as one console line. The sign-in flow writes to it; the debug window
// observes it. Entries are appended on the thread that owns the logger, in the
// order the log calls were made, through the event loop.
class DebugLogger : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxLogs = 100;

    DebugLogger(const Clock& clock, Console& console, QObject* parent = nullptr);

    // The one logger of the process, created on first use with the system clock and
    // standard output.
    static DebugLogger& shared();

    // Queues an entry; returns before it is visible. Callable from any thread.
    void log(const QString& message, LogLevel level, const QString& source);

    // Queues the emptying of the log. Callable from any thread.
    void clearLogs();

    const QList<LogEntry>& logs() const { return m_logs; }

Q_SIGNALS:
    // The entries changed: one entry added (and the oldest dropped past 100), or cleared.
    void logsChanged();

private:
    void append(const QString& message, LogLevel level, const QString& source);

    const Clock& m_clock;
    Console& m_console;
    QList<LogEntry> m_logs;
};

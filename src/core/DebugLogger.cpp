#include "core/DebugLogger.h"

#include "core/Clock.h"
#include "core/Console.h"
#include "core/ControlCharacters.h"

#include <QMetaObject>

DebugLogger::DebugLogger(const Clock& clock, Console& console, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_console(console)
{ }

DebugLogger& DebugLogger::shared()
{
    static SystemClock clock;
    static StdoutConsole console;
    static DebugLogger logger(clock, console);
    return logger;
}

void DebugLogger::log(const QString& message, LogLevel level, const QString& source)
{
    QMetaObject::invokeMethod(
        this, [this, message, level, source] { append(message, level, source); }, Qt::QueuedConnection);
}

void DebugLogger::clearLogs()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_logs.clear();
            Q_EMIT logsChanged();
        },
        Qt::QueuedConnection);
}

void DebugLogger::append(const QString& message, LogLevel level, const QString& source)
{
    // Messages quote server replies; the log window and the terminal show their control
    // characters as escapes.
    LogEntry entry {
        QUuid::createUuid(), m_clock.now(), level, escapeControlCharacters(message), escapeControlCharacters(source)};
    const QString time = entry.timeText();
    const QString line = u'[' + time + QStringLiteral("] ") + consoleMark(level) + QStringLiteral(" [") + entry.source
        + QStringLiteral("] ") + entry.message;
    m_logs.append(std::move(entry));
    if (m_logs.size() > maxLogs)
        m_logs.remove(0, m_logs.size() - maxLogs);
    Q_EMIT logsChanged();
    m_console.print(line);
}

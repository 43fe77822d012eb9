#include "core/LogLevel.h"

const QList<LogLevel>& allLogLevels()
{
    static const QList<LogLevel> levels {
        LogLevel::Debug, LogLevel::Info, LogLevel::Warning, LogLevel::Error, LogLevel::Success};
    return levels;
}

QString rawValue(LogLevel level)
{
    switch (level) {
    case LogLevel::Debug:
        return QStringLiteral("DEBUG");
    case LogLevel::Info:
        return QStringLiteral("INFO");
    case LogLevel::Warning:
        return QStringLiteral("WARNING");
    case LogLevel::Error:
        return QStringLiteral("ERROR");
    case LogLevel::Success:
        return QStringLiteral("SUCCESS");
    }
    Q_UNREACHABLE();
}

std::optional<LogLevel> logLevelFromRawValue(const QString& text)
{
    for (LogLevel level : allLogLevels()) {
        if (rawValue(level) == text)
            return level;
    }
    return std::nullopt;
}

QString consoleMark(LogLevel level)
{
    switch (level) {
    case LogLevel::Debug:
        return QStringLiteral("🔍");
    case LogLevel::Info:
        return QStringLiteral("ℹ️");
    case LogLevel::Warning:
        return QStringLiteral("⚠️");
    case LogLevel::Error:
        return QStringLiteral("❌");
    case LogLevel::Success:
        return QStringLiteral("✅");
    }
    Q_UNREACHABLE();
}

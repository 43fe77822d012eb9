#pragma once

#include <QList>
#include <QString>

#include <optional>

// Severity of a debug-log entry. The raw value is the text the debug window shows.
enum class LogLevel {
    Debug,
    Info,
    Warning,
    Error,
    Success,
};

// Every level, in display order (also the order of the debug window's level filter).
const QList<LogLevel>& allLogLevels();

// "DEBUG", "INFO", "WARNING", "ERROR", "SUCCESS".
QString rawValue(LogLevel level);

// The level whose raw value is `text`; no level for any other text.
std::optional<LogLevel> logLevelFromRawValue(const QString& text);

// The emoji that marks the level in the console echo.
QString consoleMark(LogLevel level);

#pragma once

#include <QString>

#include <optional>

class JsonValueReader;

// One check run of a commit: its status ("queued", "in_progress", "completed") and,
// once completed, its conclusion ("success", "failure", "neutral", "skipped"…).
struct CheckRun
{
    QString name;
    QString status;
    std::optional<QString> conclusion;

    // Throws DecodingError (see JsonValueReader).
    static CheckRun fromJson(const JsonValueReader& value);
};

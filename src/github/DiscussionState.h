#pragma once

#include <QString>

#include <optional>

class JsonValueReader;

// A discussion as the status refresh reads it from a thread's subject URL.
struct DiscussionState
{
    QString title;
    // "resolved", "outdated", "duplicate"…; none while the discussion is open.
    std::optional<QString> stateReason;

    // Throws DecodingError (see JsonValueReader).
    static DiscussionState fromJson(const JsonValueReader& value);
};

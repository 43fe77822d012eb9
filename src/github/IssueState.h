#pragma once

#include <QString>

class JsonValueReader;

// An issue as the status refresh reads it from a thread's subject URL.
struct IssueState
{
    QString state;
    QString title;

    // Throws DecodingError (see JsonValueReader).
    static IssueState fromJson(const JsonValueReader& value);
};

#pragma once

#include "github/CheckRun.h"

#include <QList>

class JsonValueReader;

// The reply of GET …/commits/{sha}/check-runs.
struct CheckRunsResponse
{
    qint64 totalCount = 0;
    QList<CheckRun> checkRuns;

    // Throws DecodingError (see JsonValueReader).
    static CheckRunsResponse fromJson(const JsonValueReader& value);
};

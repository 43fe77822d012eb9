#pragma once

#include "github/User.h"

#include <QString>

#include <optional>

class JsonValueReader;

// A pull request as GET …/pulls/{number} gives it, read when the assignments
// controller refreshes an assigned pull request (it uses state, merged and merged_at).
// Never stored.
struct PullRequestDetails
{
    qint64 id = 0;
    // "open" or "closed"; a merged pull request is "closed" with merged true.
    QString state;
    bool merged = false;
    std::optional<QString> mergedAt;
    // None while GitHub is still computing it.
    std::optional<bool> mergeable;
    std::optional<QString> mergeableState;
    std::optional<User> mergedBy;

    // Throws DecodingError (see JsonValueReader).
    static PullRequestDetails fromJson(const JsonValueReader& value);
};

#pragma once

#include <QString>

#include <optional>

class JsonValueReader;

// A pull request as the status refresh reads it from a thread's subject URL: its
// state, whether it was merged, and where its commit statuses are.
struct PullRequestState
{
    QString title;
    QString state;
    std::optional<bool> merged;
    // …/repos/{owner}/{repo}/statuses/{sha} of the head commit.
    std::optional<QString> statusesUrl;

    // Throws DecodingError (see JsonValueReader).
    static PullRequestState fromJson(const JsonValueReader& value);
};

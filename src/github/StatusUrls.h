#pragma once

#include "github/GitHubEndpoints.h"

#include <QString>
#include <QStringList>

#include <optional>

// Where the status refresh finds a pull request's check runs and reviews: the
// addresses are rebuilt from the owner, repository and commit or number named in a
// REST API URL the server gave (a statuses URL, a thread's subject URL). Pure rules.
//
// A URL is split at every "/", keeping empty components, so an absolute URL gives
// the scheme, an empty component and then the host. The host must be the REST API's
// (with its port, if the base names one). Below a base with a path, such as
// https://ghe.example.com/api/v3, the base's own path components must follow the host
// unchanged and the rules read the components after them, exactly as they read the
// components after the host of https://api.github.com.
class StatusUrls
{
public:
    // …/repos/{owner}/{repo}/statuses/{sha} gives
    // {base}/repos/{owner}/{repo}/commits/{sha}/check-runs.
    static std::optional<QString> checkRunsUrl(const QString& statusesUrl, const GitHubEndpoints& endpoints);

    // …/repos/{owner}/{repo}/pulls/{number} gives
    // {base}/repos/{owner}/{repo}/pulls/{number}/reviews; the number must be a decimal
    // integer (a leading sign is accepted) and is written back in plain decimal.
    static std::optional<QString> reviewsUrl(const QString& subjectUrl, const GitHubEndpoints& endpoints);

private:
    // The components after the host and the base's path: {"repos", owner, repo, …}.
    // None when the URL is not on the API host or not under the base's path.
    static std::optional<QStringList> componentsBelowBase(const QString& url, const GitHubEndpoints& endpoints);
};

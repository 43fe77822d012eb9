#pragma once

#include <QString>

class FakeGitHub;
class GitHubPayloads;

// What a pull-request thread's status refresh reads, served by the fake GitHub: the pull
// request, its reviews, its head commit's statuses and check runs (one of each).
namespace PullRequestStatus {

// The head commit of pull request `number`: the number, 40 digits wide.
QString headSha(int number);

void serve(
    FakeGitHub& server, const GitHubPayloads& payloads, const QString& repository, int number, bool merged = false);

} // namespace PullRequestStatus

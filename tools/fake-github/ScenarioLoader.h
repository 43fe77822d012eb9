#pragma once

#include <QString>

class GitHubServer;

// Fills a listening GitHubServer from a directory, for the fake-github program and the demo:
//   notifications.json       array of notification threads
//   issues.json              array of assigned issues and pull requests
//   resources/<path>.json    served at /<path> under the API base
//   token                    the token to accept (read by token())
//   login                    the account the token belongs to (read by login())
// Every file is optional. "https://api.github.com" and "https://github.com" inside the
// JSON are rewritten to the server's own bases, so the links lead back to it, and every
// time stamp ("2025-03-03T10:15:00Z") moves by the same amount so that the newest is an
// hour old: the scenario always looks recent.
class ScenarioLoader
{
public:
    static bool load(const QString& directory, GitHubServer& server, QString* errorMessage);
    // The directory's token file, trimmed; empty when there is none.
    static QString token(const QString& directory);
    // The directory's login file, trimmed; empty when there is none.
    static QString login(const QString& directory);
};

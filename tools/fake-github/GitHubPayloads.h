#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

// Builds the JSON objects GitHub's REST API returns (notification threads, issues, pull
// requests, reviews, commit statuses, check runs, discussions) in the shapes of GitHub's
// published examples, with every URL on the given bases. A test names the fields it
// cares about and gets realistic values for the rest:
//
//     GitHubPayloads payloads = server.payloads();
//     server.addNotification(payloads.thread({.id = u"7"_s, .type = u"PullRequest"_s, .number = 12}));
//
// Ids are 64-bit integers (thread ids are strings, as on GitHub); users and
// repositories get stable ids derived from their names.
class GitHubPayloads
{
public:
    struct Thread
    {
        QString id = QStringLiteral("1");
        QString repository = QStringLiteral("octocat/Hello-World");
        // "PullRequest", "Issue", "Discussion", "Release"; any other type (for example
        // "CheckSuite") gets a null subject URL, as on GitHub.
        QString type = QStringLiteral("Issue");
        int number = 1;
        QString title = QStringLiteral("Greetings");
        QString reason = QStringLiteral("subscribed");
        bool unread = true;
        QString updatedAt = QStringLiteral("2014-11-07T22:01:45Z");
        QString lastReadAt {}; // empty gives null
        bool nullSubjectUrl = false; // as live Discussion threads have been seen
    };

    struct Issue
    {
        qint64 id = 1;
        QString repository = QStringLiteral("octocat/Hello-World");
        int number = 1347;
        QString title = QStringLiteral("Found a bug");
        QString state = QStringLiteral("open");
        bool pullRequest = false; // adds the "pull_request" object GET /issues uses to mark pull requests
        QString mergedAt {}; // pull_request.merged_at; empty gives null
        QString updatedAt = QStringLiteral("2011-04-22T13:33:48Z");
        QString createdAt {}; // empty gives updatedAt
        QString closedAt {}; // empty gives null, or updatedAt for a closed item
        QString author = QStringLiteral("octocat");
        QString assignee = QStringLiteral("octocat");
    };

    struct PullRequest
    {
        qint64 id = 1;
        QString repository = QStringLiteral("octocat/Hello-World");
        int number = 1347;
        QString title = QStringLiteral("Amazing new feature");
        QString state = QStringLiteral("open");
        bool merged = false;
        QString mergedAt {}; // empty gives null, or updatedAt when merged
        QString headSha = QStringLiteral("6dcb09b5b57875f334f61aebed695e2e4193db5e");
        bool draft = false;
        QJsonValue mergeable = true; // null while GitHub is still computing it
        QString mergeableState = QStringLiteral("clean");
        QString updatedAt = QStringLiteral("2011-01-26T19:01:12Z");
        QString createdAt {}; // empty gives updatedAt
        QString closedAt {}; // empty gives null, or updatedAt when closed
        QString author = QStringLiteral("octocat");
        QString mergedBy {}; // empty gives null, or the author when merged
    };

    struct Review
    {
        qint64 id = 80;
        QString repository = QStringLiteral("octocat/Hello-World");
        int pullNumber = 1347;
        QString user = QStringLiteral("octocat");
        QString state = QStringLiteral("APPROVED"); // COMMENTED, CHANGES_REQUESTED, DISMISSED, PENDING
        QString submittedAt = QStringLiteral("2019-11-17T17:43:43Z"); // null for PENDING
        QString commitId = QStringLiteral("ecdd80bb57125d7ba9641ffaa4d7d2c19d3f3091");
        QString body = QStringLiteral("Here is the body for the review.");
    };

    struct Status
    {
        qint64 id = 18402522398;
        QString repository = QStringLiteral("octocat/Hello-World");
        QString sha = QStringLiteral("6dcb09b5b57875f334f61aebed695e2e4193db5e");
        QString state = QStringLiteral("success"); // failure, error, pending
        QString context = QStringLiteral("continuous-integration/jenkins");
        QString description = QStringLiteral("Build has completed successfully");
        QString createdAt = QStringLiteral("2022-07-19T04:37:31Z");
        QString creator = QStringLiteral("octocat");
    };

    struct CheckRun
    {
        qint64 id = 4;
        QString repository = QStringLiteral("octocat/Hello-World");
        QString headSha = QStringLiteral("6dcb09b5b57875f334f61aebed695e2e4193db5e");
        QString name = QStringLiteral("build");
        QString status = QStringLiteral("completed"); // queued, in_progress
        QString conclusion = QStringLiteral("success"); // empty gives null (not completed)
        QString startedAt = QStringLiteral("2018-05-04T01:14:52Z");
        QString completedAt {}; // empty gives null, or startedAt when completed
    };

    struct Discussion
    {
        qint64 id = 1;
        QString repository = QStringLiteral("octocat/Hello-World");
        int number = 1;
        QString title = QStringLiteral("How do I use this?");
        QString state = QStringLiteral("open");
        QString stateReason {}; // empty gives null; "resolved", "outdated", "duplicate"
        QString updatedAt = QStringLiteral("2021-01-01T00:00:00Z");
        QString author = QStringLiteral("octocat");
    };

    GitHubPayloads(const QString& apiBase = QStringLiteral("https://api.github.com"),
        const QString& webBase = QStringLiteral("https://github.com"));

    QJsonObject user(const QString& login) const;
    QJsonObject repository(const QString& fullName) const;
    QJsonObject thread(const Thread& given) const;
    QJsonObject issue(const Issue& given) const;
    QJsonObject pullRequest(const PullRequest& given) const;
    QJsonObject review(const Review& given) const;
    QJsonObject status(const Status& given) const;
    QJsonObject checkRun(const CheckRun& given) const;
    // The reply of GET …/commits/{sha}/check-runs: {total_count, check_runs}.
    QJsonObject checkRuns(const QList<QJsonObject>& runs) const;
    QJsonObject discussion(const Discussion& given) const;

    // GitHub's error body: {"message", "documentation_url"}.
    static QJsonObject error(
        const QString& message, const QString& documentationUrl = QStringLiteral("https://docs.github.com/rest"));
    // The body of GitHub's 403 once the rate limit is used up.
    static QJsonObject rateLimitExceeded();

    // Stable 64-bit ids for names, so repeated builds agree.
    static qint64 stableId(const QString& name);

private:
    QString api(const QString& path) const { return m_apiBase + path; }
    QString web(const QString& path) const { return m_webBase + path; }

    QString m_apiBase {};
    QString m_webBase {};
};

#pragma once

#include "github/GitHubRestClient.h"
#include "github/Issue.h"
#include "github/Notification.h"
#include "github/NotificationsFetch.h"
#include "github/PullRequestDetails.h"
#include "github/User.h"

#include <QDateTime>
#include <QSet>

#include <memory>
#include <variant>

struct ClientEnvironment;

// The REST client of the two feed controllers (one instance each), with a token
// reader of its own: the notification thread list and marking a thread read or done,
// the assigned items, and one item or pull request by its API URL.
class GitHubAPIService
{
public:
    static constexpr int maxAssignedIssuePages = 100;
    // 20,000 unread threads in GitHub's pages of 50.
    static constexpr int maxUnreadPages = 400;

    explicit GitHubAPIService(const ClientEnvironment& environment);

    // The next request reads the stored token again.
    void forgetCachedToken() { m_client->forgetCachedToken(); }
    // `heard` runs with what each reply says of the server (GitHubRestClient).
    void watchServerVersion(std::function<void(const ServerVersion&)> heard)
    {
        m_client->watchServerVersion(std::move(heard));
    }

    // Every thread changed since `since`, from `page` on through the Link header's
    // next pages, in the server's order.
    Request<QList<NotificationPtr>> fetchNotifications(const QDateTime& since, int page);

    // The ids of every thread GitHub lists as unread now, through every page of
    // "/notifications?all=false". The transport revalidates each page, so an unchanged
    // page costs no rate limit. Fails on the first page that fails, answers outside 2xx
    // or does not decode, and when the list runs past maxUnreadPages: a partial list
    // would make the threads it lacks look read. Prints nothing.
    Request<QSet<QString>> fetchUnreadThreadIds();

    // GitHub answers 205; a 404 or 410 means the thread is gone, which is as good as
    // read. Any other status fails with httpError.
    Request<std::monostate> markThreadAsRead(const QString& threadId);
    // Takes the thread out of GitHub's inbox (DELETE), until new activity brings it back;
    // only where ServerVersion::supportsMarkingDone(). GitHub answers 204 (older servers
    // 205). Any status outside 2xx fails with httpError, 404 included: a server without
    // the operation answers 404 as well, so it cannot mean "already done".
    Request<std::monostate> markThreadAsDone(const QString& threadId);

    // Every item assigned to the user and changed since `since`, from `page` on through
    // the Link header's next pages (at most maxAssignedIssuePages), in the server's
    // order: the controller moves its last-pull date past all of them, so an item left
    // on a later page would never be fetched. The status is not examined: an error reply
    // fails with a decoding error that carries it (RequestError::isUnauthorized()).
    // Prints nothing.
    Request<QList<IssuePtr>> fetchAssignedIssues(const QDateTime& since, int page);

    // One item by its REST API URL (which must lie under the REST API base): `kind` says
    // whether the user added it (UserAction) or a refresh re-reads it (Status). The
    // status is not examined, as for fetchAssignedIssues.
    Request<IssuePtr> fetchIssue(const QString& urlText, RequestKind kind);
    // One pull request, re-read by a refresh, as fetchIssue.
    Request<PullRequestDetails> fetchPullRequestDetails(const QString& urlText);

    // GET /user: the account the token belongs to. A reply outside 2xx fails with its
    // httpError (401 for a token GitHub refuses: RequestError::isUnauthorized()).
    Request<User> fetchAuthenticatedUser();

private:
    std::shared_ptr<GitHubRestClient> m_client;
    NotificationsFetch m_notifications;
};

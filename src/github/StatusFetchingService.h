#pragma once

#include "github/CheckRun.h"
#include "github/GitHubRestClient.h"
#include "github/Notification.h"
#include "github/StatusCheck.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

struct ClientEnvironment;

// Asks GitHub about the subject of a notification thread and reduces the answers to
// the three words the notifications list shows: the subject's state, a pull request's
// CI outcome and its review outcome. Owned by the notifications controller, with a
// REST client (and token reader) of its own. Replies are decoded whatever their
// status, so an error reply surfaces as a decoding error; nothing is printed.
class StatusFetchingService
{
public:
    explicit StatusFetchingService(const ClientEnvironment& environment);

    // The next request reads the stored token again.
    void forgetCachedToken() { m_client->forgetCachedToken(); }

    // The state of an "Issue" (its state), "PullRequest" ("merged" when merged, else
    // its state) or "Discussion" (its state reason, "open" without one); no value for
    // any other subject type, whose reply is not read. Fails with noToken, invalidURL
    // (no subject URL, or one outside the REST API), the transport or decoding error.
    Request<std::optional<QString>> fetchState(const Notification& notification);

    // The CI word of a pull request (see StatusRules::ciStatus) from its commit
    // statuses and check runs, fetched at the same time. "none" without asking when the
    // subject is not a pull request, there is no token or no usable subject URL, and
    // when the pull request names no statuses URL. Fails only when the pull request
    // itself cannot be fetched or decoded; failing statuses or check runs count as none.
    Request<QString> fetchCIStatus(const Notification& notification);

    // The review word of a pull request (see StatusRules::reviewStatus).
    // "not_reviewed" without asking when the subject URL is not a pull request on the
    // REST API (see StatusUrls::reviewsUrl). Fails with noToken, invalidURL, the
    // transport or decoding error.
    Request<QString> fetchReviewStatus(const Notification& notification);

private:
    // The commit statuses at `statusesUrl`; every failure gives the empty list.
    static Request<QList<StatusCheck>> fetchCommitStatuses(
        const std::shared_ptr<GitHubRestClient>& client, const QString& statusesUrl);
    // The check runs of the commit `statusesUrl` names; every failure gives the empty list.
    static Request<QList<CheckRun>> fetchCheckRuns(
        const std::shared_ptr<GitHubRestClient>& client, const QString& statusesUrl);
    // The CI rule once both lists of `statusesUrl` have arrived.
    static Request<QString> fetchCIOfCommit(
        const std::shared_ptr<GitHubRestClient>& client, const QString& statusesUrl);

    std::shared_ptr<GitHubRestClient> m_client;
};

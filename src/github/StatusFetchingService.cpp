#include "github/StatusFetchingService.h"

#include "github/CheckRunsResponse.h"
#include "github/DiscussionState.h"
#include "github/IssueState.h"
#include "github/PullRequestState.h"
#include "github/Review.h"
#include "github/StatusRules.h"
#include "github/StatusUrls.h"

namespace {

// The CI lists count a failure as "nothing reported": a CI service that cannot be
// reached must not hide the other list's outcome.
template <typename T>
Request<QList<T>> emptyOnFailure(const Request<QList<T>>& request)
{
    return Request<QList<T>>([request](const Promise<QList<T>, RequestError>& promise) {
        promise.keep(request.subscribe([promise](QList<T> items) { promise.resolve(std::move(items)); },
            [promise](const RequestError&) { promise.resolve({}); }));
    });
}

} // namespace

StatusFetchingService::StatusFetchingService(const ClientEnvironment& environment)
    : m_client(std::make_shared<GitHubRestClient>(environment))
{ }

Request<std::optional<QString>> StatusFetchingService::fetchState(const Notification& notification)
{
    using State = std::optional<QString>;
    const Subject& subject = notification.subject();
    const QString type = subject.type();
    return GitHubRestClient::decodeReply<State>(m_client->call(subject.url().value_or(QString()), RequestKind::Status),
        [type](const QByteArray& body) -> Decoded<State> {
            if (type == QLatin1String("Issue"))
                return JsonDecoder::decode(
                    body, [](const JsonValueReader& value) -> State { return IssueState::fromJson(value).state; });
            if (type == QLatin1String("PullRequest"))
                return JsonDecoder::decode(body, [](const JsonValueReader& value) -> State {
                    const PullRequestState pullRequest = PullRequestState::fromJson(value);
                    return pullRequest.merged.value_or(false) ? QStringLiteral("merged") : pullRequest.state;
                });
            if (type == QLatin1String("Discussion"))
                return JsonDecoder::decode(body, [](const JsonValueReader& value) -> State {
                    return DiscussionState::fromJson(value).stateReason.value_or(QStringLiteral("open"));
                });
            // Releases, check suites and the rest have no state to show.
            return State();
        });
}

Request<QString> StatusFetchingService::fetchCIStatus(const Notification& notification)
{
    const Subject& subject = notification.subject();
    const Request<QString> none = Request<QString>::fromValue(QStringLiteral("none"));
    if (subject.type() != QLatin1String("PullRequest"))
        return none;
    const std::optional<QString> token = m_client->token();
    const std::optional<QUrl> url = subject.url() ? m_client->authorizedUrl(*subject.url()) : std::nullopt;
    if (!token || !url)
        return none;
    const Request<PullRequestState> pullRequest = GitHubRestClient::decodeReply<PullRequestState>(
        m_client->send(GitHubRestClient::request(*url, *token, RequestKind::Status)),
        [](const QByteArray& body) { return JsonDecoder::decode(body, &PullRequestState::fromJson); });
    return Request<QString>([client = m_client, pullRequest](const Promise<QString, RequestError>& promise) {
        promise.keep(pullRequest.subscribe(
            [client, promise](const PullRequestState& state) {
                if (!state.statusesUrl) {
                    promise.resolve(QStringLiteral("none"));
                    return;
                }
                promise.keep(fetchCIOfCommit(client, *state.statusesUrl)
                                 .subscribe([promise](QString ci) { promise.resolve(std::move(ci)); },
                                     [promise](RequestError error) { promise.reject(std::move(error)); }));
            },
            [promise](RequestError error) { promise.reject(std::move(error)); }));
    });
}

Request<QString> StatusFetchingService::fetchReviewStatus(const Notification& notification)
{
    const std::optional<QString>& subjectUrl = notification.subject().url();
    const std::optional<QString> reviewsUrl
        = subjectUrl ? StatusUrls::reviewsUrl(*subjectUrl, m_client->endpoints()) : std::nullopt;
    if (!reviewsUrl)
        return Request<QString>::fromValue(QStringLiteral("not_reviewed"));
    return GitHubRestClient::decodeReply<QList<Review>>(m_client->call(*reviewsUrl, RequestKind::Status),
        [](const QByteArray& body) { return JsonDecoder::decodeList(body, &Review::fromJson); })
        .map(&StatusRules::reviewStatus);
}

Request<QList<StatusCheck>> StatusFetchingService::fetchCommitStatuses(
    const std::shared_ptr<GitHubRestClient>& client, const QString& statusesUrl)
{
    return emptyOnFailure(
        GitHubRestClient::decodeReply<QList<StatusCheck>>(client->call(statusesUrl, RequestKind::Status),
            [](const QByteArray& body) { return JsonDecoder::decodeList(body, &StatusCheck::fromJson); }));
}

Request<QList<CheckRun>> StatusFetchingService::fetchCheckRuns(
    const std::shared_ptr<GitHubRestClient>& client, const QString& statusesUrl)
{
    const std::optional<QString> checkRunsUrl = StatusUrls::checkRunsUrl(statusesUrl, client->endpoints());
    if (!checkRunsUrl)
        return Request<QList<CheckRun>>::fromValue({});
    return emptyOnFailure(GitHubRestClient::decodeReply<QList<CheckRun>>(
        client->call(*checkRunsUrl, RequestKind::Status), [](const QByteArray& body) -> Decoded<QList<CheckRun>> {
            return JsonDecoder::decode(
                body, [](const JsonValueReader& top) { return CheckRunsResponse::fromJson(top).checkRuns; });
        }));
}

Request<QString> StatusFetchingService::fetchCIOfCommit(
    const std::shared_ptr<GitHubRestClient>& client, const QString& statusesUrl)
{
    const Request<QList<StatusCheck>> statuses = fetchCommitStatuses(client, statusesUrl);
    const Request<QList<CheckRun>> checkRuns = fetchCheckRuns(client, statusesUrl);
    return Request<QString>([statuses, checkRuns](const Promise<QString, RequestError>& promise) {
        struct Joined
        {
            std::optional<QList<StatusCheck>> statuses;
            std::optional<QList<CheckRun>> checkRuns;
        };
        auto joined = std::make_shared<Joined>();
        const auto reduceOnceBothArrived = [joined, promise] {
            if (joined->statuses && joined->checkRuns)
                promise.resolve(StatusRules::ciStatus(*joined->statuses, *joined->checkRuns));
        };
        // Neither list fails (see emptyOnFailure).
        const auto neverCalled = [](const RequestError&) {};
        promise.keep(statuses.subscribe(
            [joined, reduceOnceBothArrived](QList<StatusCheck> received) {
                joined->statuses = std::move(received);
                reduceOnceBothArrived();
            },
            neverCalled));
        promise.keep(checkRuns.subscribe(
            [joined, reduceOnceBothArrived](QList<CheckRun> received) {
                joined->checkRuns = std::move(received);
                reduceOnceBothArrived();
            },
            neverCalled));
    });
}

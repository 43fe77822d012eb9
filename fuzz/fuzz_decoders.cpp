// Every decoder a feed runs on a reply body, on the same bytes: the notification and
// assigned-item lists (also the caches' form), one item, a pull request's details and
// states, its reviews, check runs and commit statuses. Whatever the bytes, each gives
// records or a DecodingError whose texts can be printed; a list that decodes survives
// the cache's encoding unchanged (else the next start would lose the cache), and the
// reductions give one of their words.

#include "FuzzSupport.h"
#include "assignments/AssignmentRules.h"
#include "github/CheckRunsResponse.h"
#include "github/DiscussionState.h"
#include "github/Issue.h"
#include "github/IssueState.h"
#include "github/Notification.h"
#include "github/NotificationsFetch.h"
#include "github/PullRequestDetails.h"
#include "github/PullRequestState.h"
#include "github/Review.h"
#include "github/StatusCheck.h"
#include "github/StatusRules.h"
#include "notifications/NotificationRules.h"

#include <QSet>

using FuzzSupport::require;

namespace {

// The texts a failed decode is printed with.
template <typename T>
void printable(const Decoded<T>& decoded)
{
    if (const auto* error = std::get_if<DecodingError>(&decoded)) {
        require(!error->description().isEmpty() && !error->diagnostics().isEmpty(), "a decoding error has texts");
        error->localizedDescription();
    }
}

template <typename T>
std::optional<T> valueOf(Decoded<T> decoded)
{
    printable(decoded);
    if (auto* value = std::get_if<T>(&decoded))
        return std::move(*value);
    return std::nullopt;
}

void notifications(const QByteArray& body)
{
    const auto decoded = valueOf(Notification::decodeList(body));
    if (!decoded)
        return;
    const QByteArray cache = Notification::encodeList(*decoded);
    const auto reread = valueOf(Notification::decodeList(cache));
    require(reread && Notification::encodeList(*reread) == cache, "the notifications cache reads back as written");

    const NotificationRules::Merge merge = NotificationRules::merge({}, *decoded);
    QSet<QString> ids;
    for (const NotificationPtr& notification : merge.merged)
        ids.insert(notification->id());
    require(ids.size() == merge.merged.size() && ids == merge.newIds, "a merge keeps one new thread per id");
    NotificationRules::repositoryChoices(*decoded);
}

void issues(const QByteArray& body)
{
    const auto decoded = valueOf(Issue::decodeList(body));
    if (!decoded)
        return;
    const QByteArray cache = Issue::encodeList(*decoded);
    const auto reread = valueOf(Issue::decodeList(cache));
    require(reread && reread->size() == decoded->size(), "the issues cache reads back");
    for (qsizetype i = 0; i < decoded->size(); ++i)
        require(*reread->at(i) == *decoded->at(i), "the issues cache reads back as written");

    const AssignmentRules::Merge merge = AssignmentRules::merge({}, *decoded);
    require(merge.merged.size() == merge.newIds.size(), "a merge keeps one new item per id");
    for (const IssuePtr& issue : *decoded) {
        issue->displayState();
        AssignmentRules::isPullRequest(*issue);
    }
}

void statuses(const QByteArray& body)
{
    static const QSet<QString> ciWords {QStringLiteral("passing"), QStringLiteral("failed"), QStringLiteral("pending"),
        QStringLiteral("unknown"), QStringLiteral("none")};
    static const QSet<QString> reviewWords {QStringLiteral("approved"), QStringLiteral("partially_approved"),
        QStringLiteral("changes_requested"), QStringLiteral("commented"), QStringLiteral("not_reviewed")};

    if (const auto reviews = valueOf(JsonDecoder::decodeList(body, &Review::fromJson)))
        require(reviewWords.contains(StatusRules::reviewStatus(*reviews)), "the review outcome is one of its words");
    const auto checks = valueOf(JsonDecoder::decodeList(body, &StatusCheck::fromJson));
    const auto checkRuns = valueOf(JsonDecoder::decode(body, &CheckRunsResponse::fromJson));
    if (checks)
        require(ciWords.contains(StatusRules::ciStatus(*checks, {})), "the CI outcome is one of its words");
    if (checkRuns)
        require(
            ciWords.contains(StatusRules::ciStatus({}, checkRuns->checkRuns)), "the CI outcome is one of its words");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray body = FuzzSupport::bytes(data, size);
    NotificationsFetch::rawResponseText(body);
    notifications(body);
    issues(body);
    valueOf(JsonDecoder::decode(body, &Issue::fromJson));
    valueOf(JsonDecoder::decode(body, &PullRequestDetails::fromJson));
    valueOf(JsonDecoder::decode(body, &IssueState::fromJson));
    valueOf(JsonDecoder::decode(body, &PullRequestState::fromJson));
    valueOf(JsonDecoder::decode(body, &DiscussionState::fromJson));
    statuses(body);
    return 0;
}

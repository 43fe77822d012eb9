#include "github/PullRequestState.h"

#include "github/JsonObjectReader.h"

PullRequestState PullRequestState::fromJson(const JsonValueReader& value)
{
    const JsonObjectReader object = value.toObject(QLatin1String("PullRequestState"));
    PullRequestState pullRequest;
    pullRequest.title = object.string(QLatin1String("title"));
    pullRequest.state = object.string(QLatin1String("state"));
    pullRequest.merged = object.optionalBoolean(QLatin1String("merged"));
    pullRequest.statusesUrl = object.optionalString(QLatin1String("statuses_url"));
    return pullRequest;
}

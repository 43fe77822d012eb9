#include "github/PullRequestDetails.h"

#include "github/JsonObjectReader.h"

PullRequestDetails PullRequestDetails::fromJson(const JsonValueReader& value)
{
    const JsonObjectReader object = value.toObject(QLatin1String("PullRequestDetails"));
    PullRequestDetails details;
    details.id = object.int64(QLatin1String("id"));
    details.state = object.string(QLatin1String("state"));
    details.merged = object.boolean(QLatin1String("merged"));
    details.mergedAt = object.optionalString(QLatin1String("merged_at"));
    details.mergeable = object.optionalBoolean(QLatin1String("mergeable"));
    details.mergeableState = object.optionalString(QLatin1String("mergeable_state"));
    if (const auto mergedBy = object.optional(QLatin1String("merged_by")))
        details.mergedBy = User::fromJson(*mergedBy, QLatin1String("User"));
    return details;
}

#include "github/CheckRunsResponse.h"

#include "github/JsonObjectReader.h"

CheckRunsResponse CheckRunsResponse::fromJson(const JsonValueReader& value)
{
    const JsonObjectReader object = value.toObject(QLatin1String("CheckRunsResponse"));
    const qint64 totalCount = object.int64(QLatin1String("total_count"));
    return CheckRunsResponse {totalCount, object.required(QLatin1String("check_runs")).toList(&CheckRun::fromJson)};
}

#include "github/CheckRun.h"

#include "github/JsonObjectReader.h"

CheckRun CheckRun::fromJson(const JsonValueReader& value)
{
    const JsonObjectReader object = value.toObject(QLatin1String("CheckRun"));
    CheckRun run;
    run.name = object.string(QLatin1String("name"));
    run.status = object.string(QLatin1String("status"));
    run.conclusion = object.optionalString(QLatin1String("conclusion"));
    return run;
}

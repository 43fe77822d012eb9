#include "github/StatusCheck.h"

#include "github/JsonObjectReader.h"

StatusCheck StatusCheck::fromJson(const JsonValueReader& value)
{
    const JsonObjectReader object = value.toObject(QLatin1String("StatusCheck"));
    QString state = object.string(QLatin1String("state"));
    return StatusCheck {std::move(state), object.string(QLatin1String("context"))};
}

#include "github/DiscussionState.h"

#include "github/JsonObjectReader.h"

DiscussionState DiscussionState::fromJson(const JsonValueReader& value)
{
    const JsonObjectReader object = value.toObject(QLatin1String("DiscussionState"));
    QString title = object.string(QLatin1String("title"));
    return DiscussionState {std::move(title), object.optionalString(QLatin1String("state_reason"))};
}

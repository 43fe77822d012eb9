#include "github/Review.h"

#include "github/JsonObjectReader.h"

Review Review::fromJson(const JsonValueReader& value)
{
    const JsonObjectReader object = value.toObject(QLatin1String("Review"));
    QString state = object.string(QLatin1String("state"));
    std::optional<User> user;
    if (const std::optional<JsonValueReader> author = object.optional(QLatin1String("user")))
        user = User::fromJson(*author, QLatin1String("ReviewUser"));
    return Review {std::move(state), std::move(user)};
}

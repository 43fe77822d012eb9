#include "github/Review.h"

#include "github/JsonObjectReader.h"

Review Review::fromJson(const JsonValueReader& value)
{
    const JsonObjectReader object = value.toObject(QLatin1String("Review"));
    QString state = object.string(QLatin1String("state"));
    return Review {
        std::move(state), User::fromJson(object.required(QLatin1String("user")), QLatin1String("ReviewUser"))};
}

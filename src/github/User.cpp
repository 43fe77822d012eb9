#include "github/User.h"

#include "github/JsonObjectReader.h"

User User::fromJson(const JsonValueReader& value, QLatin1String typeName)
{
    return User {value.toObject(typeName).string(QLatin1String("login"))};
}

#pragma once

#include <QString>

class JsonValueReader;

// A GitHub account as a reply names it (who merged a pull request, who wrote a
// review). The server sends many more fields; only the login is kept.
struct User
{
    QString login;

    // `typeName` names the record in the diagnostics ("User", "ReviewUser").
    // Throws DecodingError (see JsonValueReader).
    static User fromJson(const JsonValueReader& value, QLatin1String typeName);
};

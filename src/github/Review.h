#pragma once

#include "github/User.h"

#include <QString>

class JsonValueReader;

// One review of a pull request: its state ("APPROVED", "CHANGES_REQUESTED",
// "COMMENTED", "DISMISSED", "PENDING") and who wrote it.
struct Review
{
    QString state;
    User user;

    // Throws DecodingError (see JsonValueReader).
    static Review fromJson(const JsonValueReader& value);
};

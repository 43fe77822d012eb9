#pragma once

#include "github/User.h"

#include <QString>

#include <optional>

class JsonValueReader;

// One review of a pull request: its state ("APPROVED", "CHANGES_REQUESTED",
// "COMMENTED", "DISMISSED", "PENDING") and who wrote it. GitHub sends a null user for
// a review whose author's account was deleted.
struct Review
{
    QString state;
    std::optional<User> user;

    // Throws DecodingError (see JsonValueReader).
    static Review fromJson(const JsonValueReader& value);
};

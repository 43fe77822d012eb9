#pragma once

#include <QMetaType>

// How adding an item by its web address ended. The toast tells the user; callers that
// act on the outcome (the command line) use this instead.
enum class AddAssignmentOutcome {
    Added,
    AlreadyListed,
    // Not the address of an issue or pull request on the configured GitHub.
    InvalidURL,
    // No token stored, or GitHub refused it.
    NeedsSignIn,
    // The request failed (network, an unreadable reply, a missing item).
    Failed,
};

Q_DECLARE_METATYPE(AddAssignmentOutcome)

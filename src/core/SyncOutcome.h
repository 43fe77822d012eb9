#pragma once

#include <QMetaType>

// How a feed controller's sync ended: fine, refused for want of a valid token (the user
// has to sign in), or failed otherwise (network, rate limit, an unreadable reply).
enum class SyncOutcome {
    Succeeded,
    NeedsSignIn,
    Failed,
};

Q_DECLARE_METATYPE(SyncOutcome)

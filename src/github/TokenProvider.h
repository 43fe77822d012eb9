#pragma once

#include <QString>

#include <optional>

// Where a REST client gets the token it sends. Each client owns one, with a read cache
// of its own; the application's is SecureStorage.
class TokenProvider
{
public:
    virtual ~TokenProvider() = default;

    // The stored token; none when there is none.
    virtual std::optional<QString> token() = 0;

    // Drops a token remembered from an earlier read, so that the next token() reads the
    // store: after GitHub refused it, or once the user signed in again.
    virtual void forgetCachedToken() = 0;
};

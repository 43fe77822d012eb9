#pragma once

#include "signin/OAuthError.h"
#include "signin/TempOAuthError.h"

#include <QString>

#include <variant>

// The last failure of a sign-in, as the sign-in view shows it: either a
// configuration failure or an error reported by GitHub or the network.
class AuthenticationError
{
public:
    AuthenticationError(TempOAuthError error)
        : m_error(error)
    { }
    AuthenticationError(OAuthError error)
        : m_error(std::move(error))
    { }

    QString localizedDescription() const;

    // The configuration failure, or nothing when GitHub or the network failed.
    std::optional<TempOAuthError> configurationError() const;

    // The coded failure, or null for a configuration failure.
    const OAuthError* oauthError() const { return std::get_if<OAuthError>(&m_error); }

    bool operator==(const AuthenticationError&) const = default;

private:
    std::variant<TempOAuthError, OAuthError> m_error;
};

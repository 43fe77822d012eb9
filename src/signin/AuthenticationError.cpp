#include "signin/AuthenticationError.h"

QString AuthenticationError::localizedDescription() const
{
    if (const auto* error = std::get_if<TempOAuthError>(&m_error))
        return ::localizedDescription(*error);
    return std::get<OAuthError>(m_error).localizedDescription;
}

std::optional<TempOAuthError> AuthenticationError::configurationError() const
{
    if (const auto* error = std::get_if<TempOAuthError>(&m_error))
        return *error;
    return std::nullopt;
}

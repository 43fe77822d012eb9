#pragma once

#include "core/AsyncResult.h"
#include "github/APIError.h"
#include "github/DecodingError.h"
#include "http/TransportError.h"

#include <optional>
#include <variant>

// How a REST request failed: the REST client's own APIError, the transport's error,
// or a decoding error. Callers switch on it to choose a status line or the sign-in.
// A decoding error of a reply body keeps the reply's status: requests that do not
// examine the status still let their callers tell a revoked token (401) apart.
class RequestError
{
public:
    RequestError(APIError error);
    RequestError(TransportError error);
    RequestError(DecodingError error);
    // The body of a reply with status `httpStatus` (0 when it was not HTTP) did not decode.
    RequestError(DecodingError error, int httpStatus);

    // The error held, or null when it is of another type.
    const APIError* apiError() const { return std::get_if<APIError>(&m_error); }
    const TransportError* transportError() const { return std::get_if<TransportError>(&m_error); }
    const DecodingError* decodingError() const { return std::get_if<DecodingError>(&m_error); }

    bool isNoToken() const;

    // The status of the HTTP reply the error stems from: an httpError's code, 403 for
    // rateLimited, or the status of the reply whose body failed to decode. None when
    // no HTTP reply was involved (noToken, invalidURL, transport errors) or its status
    // is unknown.
    std::optional<int> httpStatus() const;
    // GitHub refused the token (401 "Bad credentials"): it was revoked or has expired,
    // and the user has to sign in again.
    bool isUnauthorized() const { return httpStatus() == 401; }
    // GitHub answered that the resource is gone (404, 410): a deleted thread, issue or
    // repository, or one the token may no longer see.
    bool isGone() const { return httpStatus() == 404 || httpStatus() == 410; }
    // GitHub refused the resource to this kind of token (403 "Resource not accessible by
    // personal access token", or "... by integration"): a fine-grained or an app token,
    // which can never read notifications, whatever its permissions.
    bool isNotAccessibleByToken() const;

    // "APIError", "TransportError" or "DecodingError".
    QString typeName() const;
    // The textual form of the error held.
    QString description() const;
    QString localizedDescription() const;

    friend bool operator==(const RequestError&, const RequestError&) = default;

private:
    std::variant<APIError, TransportError, DecodingError> m_error;
    std::optional<int> m_decodedStatus;
};

// What every REST operation returns: nothing is sent until the caller subscribes;
// then one value or one RequestError arrives.
template <typename T>
using Request = AsyncResult<T, RequestError>;

#pragma once

#include "core/AsyncResult.h"
#include "github/APIError.h"
#include "github/DecodingError.h"
#include "github/TransportError.h"

#include <variant>

// How a REST request failed: the REST client's own APIError, the transport's error,
// or a decoding error. Callers switch on it to choose a status line or the sign-in.
class RequestError
{
public:
    RequestError(APIError error);
    RequestError(TransportError error);
    RequestError(DecodingError error);

    // The error held, or null when it is of another type.
    const APIError* apiError() const { return std::get_if<APIError>(&m_error); }
    const TransportError* transportError() const { return std::get_if<TransportError>(&m_error); }
    const DecodingError* decodingError() const { return std::get_if<DecodingError>(&m_error); }

    bool isNoToken() const;

    // "APIError", "TransportError" or "DecodingError".
    QString typeName() const;
    // The textual form of the error held.
    QString description() const;
    QString localizedDescription() const;

    friend bool operator==(const RequestError&, const RequestError&) = default;

private:
    std::variant<APIError, TransportError, DecodingError> m_error;
};

// What every REST operation returns: nothing is sent until the caller subscribes;
// then one value or one RequestError arrives.
template <typename T>
using Request = AsyncResult<T, RequestError>;

#include "github/RequestError.h"

RequestError::RequestError(APIError error)
    : m_error(std::move(error))
{ }

RequestError::RequestError(TransportError error)
    : m_error(std::move(error))
{ }

RequestError::RequestError(DecodingError error)
    : m_error(std::move(error))
{ }

RequestError::RequestError(DecodingError error, int httpStatus)
    : m_error(std::move(error))
    , m_decodedStatus(httpStatus > 0 ? std::optional(httpStatus) : std::nullopt)
{ }

bool RequestError::isNoToken() const
{
    const APIError* error = apiError();
    return error && error->isNoToken();
}

bool RequestError::isNotAccessibleByToken() const
{
    const APIError* error = apiError();
    return error && error->kind() == APIError::Kind::httpError && error->statusCode() == 403
        && error->gitHubMessage().startsWith(QLatin1String("Resource not accessible by"));
}

std::optional<int> RequestError::httpStatus() const
{
    if (const APIError* error = apiError()) {
        switch (error->kind()) {
        case APIError::Kind::httpError:
            return error->statusCode();
        case APIError::Kind::rateLimited:
            return 403;
        case APIError::Kind::invalidResponse:
        case APIError::Kind::noToken:
        case APIError::Kind::invalidURL:
            return std::nullopt;
        }
    }
    return m_decodedStatus;
}

QString RequestError::typeName() const
{
    switch (m_error.index()) {
    case 0:
        return QStringLiteral("APIError");
    case 1:
        return QStringLiteral("TransportError");
    default:
        return QStringLiteral("DecodingError");
    }
}

QString RequestError::description() const
{
    return std::visit([](const auto& error) { return error.description(); }, m_error);
}

QString RequestError::localizedDescription() const
{
    return std::visit([](const auto& error) -> QString { return error.localizedDescription(); }, m_error);
}

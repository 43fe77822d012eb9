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

bool RequestError::isNoToken() const
{
    const APIError* error = apiError();
    return error && error->isNoToken();
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

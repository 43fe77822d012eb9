#include "http/TransportError.h"

#include <QMetaEnum>

TransportError::TransportError(QNetworkReply::NetworkError code, QString message)
    : m_code(code)
    , m_message(std::move(message))
{ }

TransportError TransportError::timedOut(int seconds)
{
    return TransportError(QNetworkReply::TimeoutError,
        QStringLiteral("The request timed out after ") + QString::number(seconds) + QStringLiteral(" seconds"));
}

QString TransportError::description() const
{
    const char* name = QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(m_code);
    return QStringLiteral("TransportError(") + (name ? QLatin1String(name) : QLatin1String("UnknownNetworkError"))
        + QStringLiteral(": \"") + m_message + QStringLiteral("\")");
}

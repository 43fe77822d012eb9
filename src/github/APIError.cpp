#include "github/APIError.h"

#include <QDateTime>
#include <QTimeZone>

APIError::APIError(Kind kind, QString text, int statusCode, QString gitHubMessage)
    : m_kind(kind)
    , m_text(std::move(text))
    , m_statusCode(statusCode)
    , m_gitHubMessage(std::move(gitHubMessage))
{ }

APIError APIError::invalidResponse(const QString& message)
{
    return APIError(Kind::invalidResponse, message, 0);
}

APIError APIError::rateLimited(const QString& resetTime)
{
    return APIError(Kind::rateLimited, resetTime, 0);
}

APIError APIError::httpError(int statusCode, const QString& message, const QString& gitHubMessage)
{
    return APIError(Kind::httpError, message, statusCode, gitHubMessage);
}

APIError APIError::noToken()
{
    return APIError(Kind::noToken, {}, 0);
}

APIError APIError::invalidURL()
{
    return APIError(Kind::invalidURL, {}, 0);
}

QString APIError::description() const
{
    const auto quoted = [](const QString& text) -> QString { return u'"' + text + u'"'; };
    switch (m_kind) {
    case Kind::invalidResponse:
        return QStringLiteral("invalidResponse(message: ") + quoted(m_text) + u')';
    case Kind::rateLimited:
        return QStringLiteral("rateLimited(resetTime: ") + quoted(m_text) + u')';
    case Kind::httpError:
        return QStringLiteral("httpError(statusCode: ") + QString::number(m_statusCode) + QStringLiteral(", message: ")
            + quoted(m_text) + u')';
    case Kind::noToken:
        return QStringLiteral("noToken");
    case Kind::invalidURL:
        return QStringLiteral("invalidURL");
    }
    Q_UNREACHABLE();
}

QString APIError::localizedDescription() const
{
    switch (m_kind) {
    case Kind::invalidResponse:
        return QStringLiteral("GitHub sent an invalid reply: ") + m_text;
    case Kind::rateLimited: {
        // GitHub gives the reset as epoch seconds; show a time when it is one.
        bool isNumber = false;
        const qint64 seconds = m_text.toLongLong(&isNumber);
        const QString until = isNumber
            ? QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                + QStringLiteral(" UTC")
            : m_text;
        return QStringLiteral("GitHub rate limit reached; requests are refused until ") + until;
    }
    case Kind::httpError:
        return QStringLiteral("GitHub answered ") + m_text;
    case Kind::noToken:
        return QStringLiteral("No GitHub token available; please sign in");
    case Kind::invalidURL:
        return QStringLiteral("The request URL is not a valid GitHub API address");
    }
    Q_UNREACHABLE();
}

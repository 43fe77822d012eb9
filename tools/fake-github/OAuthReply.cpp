#include "OAuthReply.h"

#include <QJsonDocument>
#include <QUrl>

namespace {

const QString kErrorUri
    = QStringLiteral("https://docs.github.com/developers/apps/authorizing-oauth-apps#error-codes-for-the-device-flow");

QByteArray formEncoded(const QJsonObject& fields)
{
    QList<QByteArray> pairs;
    for (auto field = fields.begin(); field != fields.end(); ++field) {
        const QJsonValue value = field.value();
        const QString text = value.isDouble() ? QString::number(value.toInteger()) : value.toString();
        pairs << QUrl::toPercentEncoding(field.key()) + '=' + QUrl::toPercentEncoding(text).replace("%20", "+");
    }
    return pairs.join('&');
}

} // namespace

OAuthReply OAuthReply::deviceCode(
    const QString& verificationUri, const QString& deviceCode, const QString& userCode, int expiresIn, int interval)
{
    return fields(200,
        {
            {QStringLiteral("device_code"), deviceCode},
            {QStringLiteral("user_code"), userCode},
            {QStringLiteral("verification_uri"), verificationUri},
            {QStringLiteral("expires_in"), expiresIn},
            {QStringLiteral("interval"), interval},
        });
}

OAuthReply OAuthReply::pending()
{
    return error(
        QStringLiteral("authorization_pending"), QStringLiteral("The authorization request is still pending."));
}

OAuthReply OAuthReply::slowDown(int interval)
{
    OAuthReply reply
        = error(QStringLiteral("slow_down"), QStringLiteral("Too many requests have been made in the same timeframe."));
    reply.m_fields.insert(QStringLiteral("interval"), interval);
    return reply;
}

OAuthReply OAuthReply::success(const QString& accessToken, const QString& scope, bool acceptToken)
{
    OAuthReply reply = fields(200,
        {
            {QStringLiteral("access_token"), accessToken},
            {QStringLiteral("token_type"), QStringLiteral("bearer")},
            {QStringLiteral("scope"), scope},
        });
    if (acceptToken)
        reply.m_tokenToAccept = accessToken;
    return reply;
}

OAuthReply OAuthReply::expired()
{
    return error(QStringLiteral("expired_token"), QStringLiteral("The device_code has expired."));
}

OAuthReply OAuthReply::denied()
{
    return error(QStringLiteral("access_denied"), QStringLiteral("The user has denied your application access."));
}

OAuthReply OAuthReply::error(const QString& code, const QString& description)
{
    return fields(200,
        {
            {QStringLiteral("error"), code},
            {QStringLiteral("error_description"), description},
            {QStringLiteral("error_uri"), kErrorUri},
        });
}

OAuthReply OAuthReply::fields(int status, const QJsonObject& fields)
{
    OAuthReply reply;
    reply.m_status = status;
    reply.m_fields = fields;
    return reply;
}

OAuthReply OAuthReply::raw(int status, const QByteArray& body, const QByteArray& contentType)
{
    OAuthReply reply;
    reply.m_status = status;
    reply.m_rawBody = body;
    reply.m_rawContentType = contentType;
    return reply;
}

HttpResponse OAuthReply::render(bool json) const
{
    HttpResponse response;
    response.status = m_status;
    if (!m_rawContentType.isEmpty()) {
        response.headers.set("Content-Type", m_rawContentType);
        response.body = m_rawBody;
    } else if (json) {
        response.headers.set("Content-Type", "application/json; charset=utf-8");
        response.body = QJsonDocument(m_fields).toJson(QJsonDocument::Compact);
    } else {
        response.headers.set("Content-Type", "application/x-www-form-urlencoded; charset=utf-8");
        response.body = formEncoded(m_fields);
    }
    response.headers.set("Cache-Control", "no-store");
    return response;
}

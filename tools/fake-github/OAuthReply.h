#pragma once

#include "HttpResponse.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// One scripted answer of GitHub's OAuth device-flow endpoints. GitHub answers 200 even
// for the flow's errors, with {error, error_description, error_uri}; the fields are
// written as JSON when the client sent "Accept: application/json" and form-urlencoded
// otherwise, as GitHub does. A raw reply is sent exactly as given.
class OAuthReply
{
public:
    static OAuthReply deviceCode(const QString& verificationUri,
        const QString& deviceCode = QStringLiteral("3584d83530557fdd1f46af8289938c8ef79f9dc5"),
        const QString& userCode = QStringLiteral("WDJB-MJHT"), int expiresIn = 900, int interval = 5);
    static OAuthReply pending();
    static OAuthReply slowDown(int interval);
    // With `acceptToken`, the server accepts the token on its REST paths from then on.
    static OAuthReply success(
        const QString& accessToken, const QString& scope = QStringLiteral("repo,gist"), bool acceptToken = true);
    static OAuthReply expired();
    static OAuthReply denied();
    // Any other device-flow error code, e.g. "incorrect_device_code".
    static OAuthReply error(const QString& code, const QString& description);
    // Fields rendered as JSON or form like the others, with any status.
    static OAuthReply fields(int status, const QJsonObject& fields);
    static OAuthReply raw(
        int status, const QByteArray& body, const QByteArray& contentType = "application/json; charset=utf-8");

    // The token the server should start accepting when this reply is sent, if any.
    QString tokenToAccept() const { return m_tokenToAccept; }

    HttpResponse render(bool json) const;

private:
    OAuthReply() = default;

    int m_status = 200;
    QJsonObject m_fields;
    QByteArray m_rawBody;
    QByteArray m_rawContentType; // empty unless this is a raw reply
    QString m_tokenToAccept;
};

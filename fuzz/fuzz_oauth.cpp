// The replies of GitHub's device-flow endpoints, as the sign-in reads and logs them:
// the device-code reply and the token poll's reply, JSON or form-encoded. No secret of
// a reply (device code, token) shows in a logged text, a period to poll at is one the
// timer can keep, and the poll's form body carries the device code unaltered.

#include "FuzzSupport.h"
#include "signin/DeviceFlowReplies.h"
#include "signin/FormBody.h"
#include "signin/GitHubOAuthService.h"
#include "signin/OAuthLogText.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QStringList>

using FuzzSupport::require;

namespace {

const QStringList& secretKeys()
{
    static const QStringList keys {QStringLiteral("device_code"), QStringLiteral("access_token"),
        QStringLiteral("refresh_token"), QStringLiteral("client_secret")};
    return keys;
}

const QString& redacted()
{
    static const QString marker = QStringLiteral("<redacted>");
    return marker;
}

// The secret values of a reply: the string values of its secret keys, as JSON or as a
// form. Values that the marker itself holds cannot be told from it and are left out.
QStringList secrets(const QString& text)
{
    QStringList values;
    const QJsonObject json = QJsonDocument::fromJson(text.toUtf8()).object();
    for (const QString& key : secretKeys())
        values.append(json.value(key).toString());
    // A form value ends at the next field or at white space, which no form value holds.
    static const QRegularExpression separators(QStringLiteral("[&\\s]"));
    for (const QString& field : text.split(separators)) {
        const qsizetype equals = field.indexOf(u'=');
        if (equals > 0 && secretKeys().contains(field.left(equals)))
            values.append(field.mid(equals + 1));
    }
    values.removeIf([](const QString& value) { return value.isEmpty() || redacted().contains(value); });
    return values;
}

// `shown` tells none of `values`: each occurrence of one lies inside a marker.
void hidesSecrets(const QString& shown, const QStringList& values, const char* property)
{
    QString unmarked = shown;
    unmarked.replace(redacted(), QString(QChar(0xFFFF)));
    for (const QString& value : values) {
        if (!value.contains(QChar(0xFFFF)))
            require(!unmarked.contains(value), property);
    }
}

// The fields of an application/x-www-form-urlencoded body, read as a server reads them.
QList<std::pair<QString, QString>> formFields(const QByteArray& body)
{
    QList<std::pair<QString, QString>> fields;
    for (const QByteArray& field : body.split('&')) {
        const qsizetype equals = field.indexOf('=');
        fields.append({QString::fromUtf8(QByteArray::fromPercentEncoding(field.left(equals))),
            QString::fromUtf8(QByteArray::fromPercentEncoding(field.mid(equals + 1)))});
    }
    return fields;
}

void deviceCode(const QJsonObject& json)
{
    const auto read = DeviceFlowReplies::readDeviceCode(json);
    const auto* codes = std::get_if<DeviceFlowReplies::DeviceCode>(&read);
    if (!codes)
        return;
    require(codes->interval >= std::chrono::seconds(1) && codes->interval <= DeviceFlowReplies::maximumInterval,
        "the polling period lies between 1 s and the maximum");
    const QList<std::pair<QString, QString>> fields {
        {QStringLiteral("client_id"), QStringLiteral("Iv1.0123456789abcdef")},
        {QStringLiteral("device_code"), codes->deviceCode},
        {QStringLiteral("grant_type"), QLatin1String(GitHubOAuthService::grantType)}};
    // Text that is not UTF-8 (a lone surrogate) is sent as UTF-8 can carry it.
    QList<std::pair<QString, QString>> sent = fields;
    sent[1].second = QString::fromUtf8(codes->deviceCode.toUtf8());
    require(formFields(formBody(fields)) == sent, "the poll's form body reads back as its fields");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray body = FuzzSupport::bytes(data, size);
    if (const std::optional<QString> text = DeviceFlowReplies::utf8Text(body))
        hidesSecrets(OAuthLogText::masked(*text), secrets(*text), "a logged reply shows no secret");

    const auto parsed = DeviceFlowReplies::parseObject(body);
    const auto* json = std::get_if<QJsonObject>(&parsed);
    if (!json)
        return 0;
    QStringList values;
    for (const QString& key : secretKeys())
        values.append(json->value(key).toString());
    values.removeIf([](const QString& value) { return value.isEmpty() || redacted().contains(value); });
    hidesSecrets(OAuthLogText::object(*json), values, "a logged reply object shows no secret");
    OAuthLogText::keys(*json);
    deviceCode(*json);
    DeviceFlowReplies::readPoll(*json);
    return 0;
}

#include "signin/DeviceFlowReplies.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace DeviceFlowReplies {

namespace {

std::optional<QString> stringValue(const QJsonObject& json, QLatin1String key)
{
    const QJsonValue value = json.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

// The reply's "interval" when that is a whole number, within the bounds; else the default.
std::chrono::seconds replyInterval(const QJsonObject& json)
{
    const QJsonValue value = json.value(QLatin1String("interval"));
    constexpr qint64 notWhole = std::numeric_limits<qint64>::min();
    const qint64 seconds = value.isDouble() ? value.toInteger(notWhole) : notWhole;
    if (seconds == notWhole)
        return defaultInterval;
    return std::chrono::seconds(std::clamp<qint64>(seconds, minimumInterval.count(), maximumInterval.count()));
}

} // namespace

std::optional<QString> utf8Text(const QByteArray& body)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(body);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::variant<QJsonObject, QString, NotAnObject> parseObject(const QByteArray& body)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return parseError.errorString();
    if (!document.isObject())
        return NotAnObject();
    return document.object();
}

std::variant<DeviceCode, Refusal, MissingFields> readDeviceCode(const QJsonObject& json)
{
    if (std::optional<QString> error = stringValue(json, QLatin1String("error"))) {
        return Refusal {std::move(*error),
            stringValue(json, QLatin1String("error_description")).value_or(QStringLiteral("Unknown error"))};
    }
    std::optional<QString> deviceCode = stringValue(json, QLatin1String("device_code"));
    std::optional<QString> userCode = stringValue(json, QLatin1String("user_code"));
    std::optional<QString> verificationURI = stringValue(json, QLatin1String("verification_uri"));
    if (!deviceCode || !userCode || !verificationURI)
        return MissingFields();
    // "expires_in" is not used: the token endpoint says when the code has expired.
    return DeviceCode {std::move(*deviceCode), std::move(*userCode), std::move(*verificationURI), replyInterval(json)};
}

PollReply readPoll(const QJsonObject& json)
{
    using Verdict = PollReply::Verdict;
    if (std::optional<QString> token = stringValue(json, QLatin1String("access_token")))
        return {Verdict::Token, std::move(*token), std::nullopt};
    std::optional<QString> error = stringValue(json, QLatin1String("error"));
    if (!error)
        return {};
    if (*error == QLatin1String("authorization_pending"))
        return {Verdict::Pending, {}, std::nullopt};
    if (*error == QLatin1String("slow_down"))
        return {Verdict::SlowDown, {}, std::nullopt};
    if (*error == QLatin1String("expired_token"))
        return {Verdict::Expired, {}, std::nullopt};
    if (*error == QLatin1String("access_denied"))
        return {Verdict::Denied, {}, std::nullopt};
    return {Verdict::OtherError, std::move(*error), stringValue(json, QLatin1String("error_description"))};
}

} // namespace DeviceFlowReplies

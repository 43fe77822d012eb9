#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <chrono>
#include <optional>
#include <variant>

// What the replies of GitHub's device-flow endpoints say, read without acting on them:
// GitHubOAuthService acts on the result. Pure functions, so that hostile bytes can be
// read through exactly the code the sign-in uses.
namespace DeviceFlowReplies {

// The polling period when a reply names none.
inline constexpr std::chrono::seconds defaultInterval {5};
// The bounds of a period a reply asks for: a device code lives 15 minutes, a longer
// period would overflow the timer, and a zero one would keep the timer firing.
inline constexpr std::chrono::seconds minimumInterval {1};
inline constexpr std::chrono::seconds maximumInterval {3600};

// The body as text, or nothing when it is not valid UTF-8.
std::optional<QString> utf8Text(const QByteArray& body);

// The body is JSON, but not an object.
struct NotAnObject
{ };
// The body parsed as a JSON object, the parser's message when it is not JSON, or
// NotAnObject.
std::variant<QJsonObject, QString, NotAnObject> parseObject(const QByteArray& body);

// The codes of an accepted device-code request.
struct DeviceCode
{
    QString deviceCode;
    QString userCode;
    QString verificationURI;
    std::chrono::seconds interval;
};
// GitHub refused the request: its "error" and its "error_description" ("Unknown error"
// when that is not a string).
struct Refusal
{
    QString error;
    QString description;
};
// One of device_code, user_code and verification_uri is not a string.
struct MissingFields
{ };
std::variant<DeviceCode, Refusal, MissingFields> readDeviceCode(const QJsonObject& json);

// What a reply of the token endpoint says. "access_token" wins over "error".
struct PollReply
{
    enum class Verdict { Token, Pending, SlowDown, Expired, Denied, OtherError, Nothing };

    Verdict verdict = Verdict::Nothing;
    // The token, or the error value of OtherError.
    QString value;
    // The "error_description" of OtherError, when it is a string.
    std::optional<QString> description;
};
PollReply readPoll(const QJsonObject& json);

} // namespace DeviceFlowReplies

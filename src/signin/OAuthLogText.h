#pragma once

#include <QJsonObject>
#include <QString>

// Texts of the sign-in's debug-log entries built from GitHub's replies. The device
// code and any token are secrets: every text made here shows "<redacted>" in their place.
namespace OAuthLogText {

// The reply text with the values of device_code, access_token, refresh_token and
// client_secret hidden, whether the reply is JSON or form-encoded.
QString masked(const QString& text);

// The object as compact JSON, secrets hidden.
QString object(const QJsonObject& object);

// The object's keys, sorted, separated by ", ".
QString keys(const QJsonObject& object);

} // namespace OAuthLogText

#pragma once

#include <QString>

#include <optional>

// A failure of the device flow reported with a numeric code: the device-code
// request's failures (with a reason) and the token endpoint's expiry and denial.
struct OAuthError
{
    static constexpr auto errorDomain = "OAuthError";

    QString domain = QString::fromLatin1(errorDomain);
    int code = 0;
    QString localizedDescription;
    std::optional<QString> failureReason;

    bool operator==(const OAuthError&) const = default;
};

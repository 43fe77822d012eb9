#pragma once

#include <QProcessEnvironment>
#include <QString>

// The client identifier of the GitHub OAuth app (with device flow enabled) that
// sign-in uses. No identifier ships with the sources: it comes from the
// TIDEWHELK_CLIENT_ID environment variable when that is set and not blank, else
// from the TIDEWHELK_OAUTH_CLIENT_ID build option; empty when neither gives one.
QString resolveOAuthClientId(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// The client identifier of sign-in on the server `host` ("github.com", "github.example.com",
// "127.0.0.1:8080"): `firstId`, the one above, on github.com and on the first account's
// server `firstHost`; on any other server the one TIDEWHELK_CLIENT_IDS gives for its host
// ("HOST=ID" pairs separated by commas or spaces), since an OAuth app lives on one server.
// Empty when it gives none: that server offers no device flow.
QString resolveOAuthClientId(const QString& host, const QString& firstHost, const QString& firstId,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

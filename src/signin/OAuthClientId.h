#pragma once

#include <QProcessEnvironment>
#include <QString>

// The client identifier of the GitHub OAuth app (with device flow enabled) that
// sign-in uses. No identifier ships with the sources: it comes from the
// TIDEWHELK_CLIENT_ID environment variable when that is set and not blank, else
// from the TIDEWHELK_OAUTH_CLIENT_ID build option; empty when neither gives one.
QString resolveOAuthClientId(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

#pragma once

#include <QString>

// Configuration failures found before any request is sent.
enum class TempOAuthError {
    InvalidClientID,
    InvalidRedirectURI,
};

QString localizedDescription(TempOAuthError error);

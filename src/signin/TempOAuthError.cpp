#include "signin/TempOAuthError.h"

QString localizedDescription(TempOAuthError error)
{
    switch (error) {
    case TempOAuthError::InvalidClientID:
        return QStringLiteral("Invalid OAuth client ID configuration");
    case TempOAuthError::InvalidRedirectURI:
        return QStringLiteral("Invalid OAuth redirect URI");
    }
    Q_UNREACHABLE();
}

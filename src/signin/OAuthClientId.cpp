#include "signin/OAuthClientId.h"

QString resolveOAuthClientId(const QProcessEnvironment& environment)
{
    const QString fromEnvironment = environment.value(QStringLiteral("TIDEWHELK_CLIENT_ID")).trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStringLiteral(TIDEWHELK_OAUTH_CLIENT_ID).trimmed();
}

#include "signin/OAuthClientId.h"

#include <QRegularExpression>

QString resolveOAuthClientId(const QProcessEnvironment& environment)
{
    const QString fromEnvironment = environment.value(QStringLiteral("TIDEWHELK_CLIENT_ID")).trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStringLiteral(TIDEWHELK_OAUTH_CLIENT_ID).trimmed();
}

QString resolveOAuthClientId(
    const QString& host, const QString& firstHost, const QString& firstId, const QProcessEnvironment& environment)
{
    if (host.compare(QLatin1String("github.com"), Qt::CaseInsensitive) == 0
        || host.compare(firstHost, Qt::CaseInsensitive) == 0)
        return firstId;
    const QStringList pairs = environment.value(QStringLiteral("TIDEWHELK_CLIENT_IDS"))
                                  .split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals > 0 && pair.left(equals).compare(host, Qt::CaseInsensitive) == 0)
            return pair.mid(equals + 1);
    }
    return {};
}

#include "github/ServerAddress.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

constexpr auto kEnterpriseApiPath = "/api/v3";

bool isPublicHost(const QString& host)
{
    return host == QLatin1String("github.com") || host == QLatin1String("api.github.com");
}

} // namespace

ServerAddress::ServerAddress(const GitHubEndpoints& endpoints, const QString& host)
    : m_endpoints(endpoints)
    , m_host(host)
{ }

std::optional<ServerAddress> ServerAddress::parse(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(QRegularExpression(QStringLiteral("\\s"))))
        return std::nullopt;
    const QString withScheme = trimmed.contains(QStringLiteral("://")) ? trimmed : QStringLiteral("https://") + trimmed;
    const QUrl url(withScheme, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("https") && scheme != QLatin1String("http")) || url.host().isEmpty()
        || url.authority().contains(u'@') || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    QString path = url.path();
    while (path.endsWith(u'/'))
        path.chop(1);
    const bool apiPath = path == QLatin1String(kEnterpriseApiPath);
    if (!path.isEmpty() && !apiPath)
        return std::nullopt;

    // The public GitHub's API lives on a host of its own, never under /api/v3, and
    // never answers over plain http.
    if (isPublicHost(url.host())) {
        if (apiPath || scheme != QLatin1String("https") || url.port() != -1)
            return std::nullopt;
        return ServerAddress(GitHubEndpoints(), QStringLiteral("github.com"));
    }
    const QString web = scheme + QStringLiteral("://") + url.authority();
    return ServerAddress(GitHubEndpoints(web + QLatin1String(kEnterpriseApiPath), web), url.authority());
}

QString ServerAddress::hostOf(const GitHubEndpoints& endpoints)
{
    const QString apiHost = endpoints.apiHost();
    return isPublicHost(apiHost) ? QStringLiteral("github.com") : apiHost;
}

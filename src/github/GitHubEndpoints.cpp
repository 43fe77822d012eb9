#include "github/GitHubEndpoints.h"

#include <QProcessEnvironment>

namespace {

QString withoutTrailingSlashes(QString text)
{
    while (text.endsWith(u'/'))
        text.chop(1);
    return text;
}

QString withoutScheme(const QString& base)
{
    const qsizetype separator = base.indexOf(QStringLiteral("://"));
    return separator < 0 ? base : base.mid(separator + 3);
}

int effectivePort(const QUrl& url)
{
    if (url.port() != -1)
        return url.port();
    if (url.scheme() == QLatin1String("https"))
        return 443;
    if (url.scheme() == QLatin1String("http"))
        return 80;
    return -1;
}

// User information, even an empty one ("https://@host/"): an address that names any is
// not one GitHub gave.
bool hasUserInfo(const QUrl& url)
{
    return url.authority().contains(u'@');
}

// "." and ".." segments (also percent-encoded, or between backslashes, which some
// servers take for slashes) would let a path that starts inside the base resolve
// outside it on the server.
bool hasDotSegment(const QUrl& url)
{
    const QStringList segments = url.path(QUrl::FullyDecoded).replace(u'\\', u'/').split(u'/');
    return segments.contains(QStringLiteral(".")) || segments.contains(QStringLiteral(".."));
}

} // namespace

GitHubEndpoints::GitHubEndpoints()
    : GitHubEndpoints(QString::fromLatin1(defaultApiBase), QString::fromLatin1(defaultWebBase))
{ }

GitHubEndpoints::GitHubEndpoints(const QString& apiBase, const QString& webBase)
    : m_apiBase(withoutTrailingSlashes(apiBase))
    , m_webBase(withoutTrailingSlashes(webBase))
{ }

GitHubEndpoints GitHubEndpoints::fromProcessEnvironment()
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString api = environment.value(QStringLiteral("TIDEWHELK_API_URL"));
    const QString web = environment.value(QStringLiteral("TIDEWHELK_WEB_URL"));
    return GitHubEndpoints(api.isEmpty() ? QString::fromLatin1(defaultApiBase) : api,
        web.isEmpty() ? QString::fromLatin1(defaultWebBase) : web);
}

QString GitHubEndpoints::apiHost() const
{
    const QUrl url(m_apiBase);
    return url.port() == -1 ? url.host() : url.host() + u':' + QString::number(url.port());
}

QString GitHubEndpoints::apiBaseWithoutScheme() const
{
    return withoutScheme(m_apiBase);
}

QString GitHubEndpoints::webBaseWithoutScheme() const
{
    return withoutScheme(m_webBase);
}

bool GitHubEndpoints::isUnderApiBase(const QUrl& url) const
{
    return isUnder(m_apiBase, url);
}

bool GitHubEndpoints::isUnderWebBase(const QUrl& url) const
{
    return isUnder(m_webBase, url);
}

bool GitHubEndpoints::isUnder(const QString& baseText, const QUrl& url)
{
    const QUrl base(baseText);
    if (!url.isValid() || url.scheme() != base.scheme() || url.host().compare(base.host(), Qt::CaseInsensitive) != 0
        || effectivePort(url) != effectivePort(base) || hasUserInfo(url) || hasDotSegment(url))
        return false;
    const QString basePath = withoutTrailingSlashes(base.path());
    if (basePath.isEmpty())
        return true;
    const QString path = url.path();
    return path == basePath || path.startsWith(basePath + u'/');
}

bool GitHubEndpoints::isSameServer(const GitHubEndpoints& other) const
{
    return m_apiBase.compare(other.m_apiBase, Qt::CaseInsensitive) == 0;
}

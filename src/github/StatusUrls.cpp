#include "github/StatusUrls.h"

#include <QUrl>

namespace {

// At least "repos", owner, repository, kind and the commit or number.
constexpr qsizetype kResourceComponents = 5;

// A decimal integer as GitHub writes a number, with an optional sign; none for
// anything else (empty, other characters, beyond 64 bits).
std::optional<qint64> decimalInteger(const QString& text)
{
    const qsizetype digitsFrom = text.startsWith(u'+') || text.startsWith(u'-') ? 1 : 0;
    if (text.size() == digitsFrom)
        return std::nullopt;
    for (qsizetype i = digitsFrom; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint64 number = text.toLongLong(&ok, 10);
    return ok ? std::optional(number) : std::nullopt;
}

} // namespace

std::optional<QStringList> StatusUrls::componentsBelowBase(const QString& url, const GitHubEndpoints& endpoints)
{
    const QStringList components = url.split(u'/');
    if (components.size() < 3 || components[2] != endpoints.apiHost())
        return std::nullopt;
    const QStringList basePath = QUrl(endpoints.apiBase()).path().split(u'/', Qt::SkipEmptyParts);
    if (components.size() < 3 + basePath.size() || components.mid(3, basePath.size()) != basePath)
        return std::nullopt;
    return components.mid(3 + basePath.size());
}

std::optional<QString> StatusUrls::checkRunsUrl(const QString& statusesUrl, const GitHubEndpoints& endpoints)
{
    const std::optional<QStringList> below = componentsBelowBase(statusesUrl, endpoints);
    if (!below || below->size() < kResourceComponents || below->at(0) != QLatin1String("repos")
        || below->at(3) != QLatin1String("statuses"))
        return std::nullopt;
    return endpoints.apiBase() + QStringLiteral("/repos/") + below->at(1) + u'/' + below->at(2)
        + QStringLiteral("/commits/") + below->at(4) + QStringLiteral("/check-runs");
}

std::optional<QString> StatusUrls::reviewsUrl(const QString& subjectUrl, const GitHubEndpoints& endpoints)
{
    const std::optional<QStringList> below = componentsBelowBase(subjectUrl, endpoints);
    if (!below || below->size() < kResourceComponents || below->at(0) != QLatin1String("repos")
        || below->at(3) != QLatin1String("pulls"))
        return std::nullopt;
    const std::optional<qint64> number = decimalInteger(below->at(4));
    if (!number)
        return std::nullopt;
    return endpoints.apiBase() + QStringLiteral("/repos/") + below->at(1) + u'/' + below->at(2)
        + QStringLiteral("/pulls/") + QString::number(*number) + QStringLiteral("/reviews");
}

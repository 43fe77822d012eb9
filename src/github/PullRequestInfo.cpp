#include "github/PullRequestInfo.h"

#include "github/JsonObjectReader.h"
#include "github/JsonWriting.h"

PullRequestInfo::PullRequestInfo(std::optional<QString> url, std::optional<QString> htmlUrl,
    std::optional<QString> diffUrl, std::optional<QString> patchUrl, std::optional<QString> mergedAt)
    : m_url(std::move(url))
    , m_htmlUrl(std::move(htmlUrl))
    , m_diffUrl(std::move(diffUrl))
    , m_patchUrl(std::move(patchUrl))
    , m_mergedAt(std::move(mergedAt))
{ }

PullRequestInfo PullRequestInfo::fromJson(const JsonObjectReader& object)
{
    std::optional<QString> url = object.optionalString(QLatin1String("url"));
    std::optional<QString> htmlUrl = object.optionalString(QLatin1String("html_url"));
    std::optional<QString> diffUrl = object.optionalString(QLatin1String("diff_url"));
    std::optional<QString> patchUrl = object.optionalString(QLatin1String("patch_url"));
    std::optional<QString> mergedAt = object.optionalString(QLatin1String("merged_at"));
    return PullRequestInfo(
        std::move(url), std::move(htmlUrl), std::move(diffUrl), std::move(patchUrl), std::move(mergedAt));
}

QJsonObject PullRequestInfo::toJson() const
{
    QJsonObject object;
    insertIfPresent(object, QLatin1String("url"), m_url);
    insertIfPresent(object, QLatin1String("html_url"), m_htmlUrl);
    insertIfPresent(object, QLatin1String("diff_url"), m_diffUrl);
    insertIfPresent(object, QLatin1String("patch_url"), m_patchUrl);
    insertIfPresent(object, QLatin1String("merged_at"), m_mergedAt);
    return object;
}

#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

class JsonObjectReader;

// The "pull_request" member GET /issues gives an item that is a pull request: its
// REST API and web links, and the merge time once merged. The assignments controller
// writes the merge time in after reading the pull request itself.
class PullRequestInfo
{
public:
    explicit PullRequestInfo(std::optional<QString> url = {}, std::optional<QString> htmlUrl = {},
        std::optional<QString> diffUrl = {}, std::optional<QString> patchUrl = {},
        std::optional<QString> mergedAt = {});

    const std::optional<QString>& url() const { return m_url; }
    const std::optional<QString>& htmlUrl() const { return m_htmlUrl; }
    const std::optional<QString>& diffUrl() const { return m_diffUrl; }
    const std::optional<QString>& patchUrl() const { return m_patchUrl; }
    // ISO 8601 text, kept as received.
    const std::optional<QString>& mergedAt() const { return m_mergedAt; }

    void setMergedAt(const std::optional<QString>& mergedAt) { m_mergedAt = mergedAt; }

    // Throws DecodingError (see JsonValueReader).
    static PullRequestInfo fromJson(const JsonObjectReader& object);
    // Each key only when it has a value.
    QJsonObject toJson() const;

    friend bool operator==(const PullRequestInfo&, const PullRequestInfo&) = default;

private:
    std::optional<QString> m_url;
    std::optional<QString> m_htmlUrl;
    std::optional<QString> m_diffUrl;
    std::optional<QString> m_patchUrl;
    std::optional<QString> m_mergedAt;
};

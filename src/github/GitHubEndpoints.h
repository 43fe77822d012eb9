#pragma once

#include <QString>
#include <QUrl>

// The two GitHub base URLs the system talks to: the REST API and the web site
// (OAuth device flow, item pages). Both default to the public GitHub and can be
// pointed elsewhere for GitHub Enterprise or the fake server of the tests.
class GitHubEndpoints
{
public:
    static constexpr auto defaultApiBase = "https://api.github.com";
    static constexpr auto defaultWebBase = "https://github.com";

    GitHubEndpoints();
    GitHubEndpoints(const QString& apiBase, const QString& webBase);

    // Reads TIDEWHELK_API_URL and TIDEWHELK_WEB_URL, falling back to the defaults.
    static GitHubEndpoints fromProcessEnvironment();

    // The base URLs as text, without a trailing slash.
    const QString& apiBase() const { return m_apiBase; }
    const QString& webBase() const { return m_webBase; }

    // The REST API host as it appears in URLs: "host", or "host:port" when the base
    // names a port.
    QString apiHost() const;

    // The base URLs without their scheme ("api.github.com", "ghe.example.com/api/v3").
    QString apiBaseWithoutScheme() const;
    QString webBaseWithoutScheme() const;

    // True when `url` is under the REST API base: same scheme, host and port, and a
    // path inside the base path. Only such URLs may carry the token.
    bool isUnderApiBase(const QUrl& url) const;
    // The same for the web base: the pages opened in the user's browser.
    bool isUnderWebBase(const QUrl& url) const;
    // True when `other` names the same REST API base, whatever the case of its letters:
    // the same server, as far as accounts go.
    bool isSameServer(const GitHubEndpoints& other) const;

private:
    static bool isUnder(const QString& base, const QUrl& url);

    QString m_apiBase;
    QString m_webBase;
};

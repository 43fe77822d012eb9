#pragma once

#include "HttpResponse.h"
#include "RateLimit.h"
#include "Scenario.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QUrl>

struct HttpRequest;

// The REST side of the fake GitHub: checks the token, serves the scenario's lists and
// resources, and gives each reply the headers GitHub gives it (validators, caching,
// rate limit), answering 304 Not Modified to a conditional GET that still matches.
class RestApi
{
public:
    static constexpr int defaultPageSize = 50;
    static constexpr int defaultMaxAge = 60;

    Scenario& scenario() { return m_scenario; }
    const Scenario& scenario() const { return m_scenario; }
    RateLimit& rateLimit() { return m_rateLimit; }
    const RateLimit& rateLimit() const { return m_rateLimit; }

    // Tokens accepted in "Authorization: token T" or "Bearer T".
    void setToken(const QString& token);
    void addToken(const QString& token);
    // A token of `login`'s: GET /user names that account to it.
    void addToken(const QString& token, const QString& login);

    void setPageSize(int pageSize) { m_pageSize = std::max(1, pageSize); }
    // The X-Poll-Interval the notifications list answers with, in seconds.
    void setPollInterval(int seconds) { m_pollInterval = seconds; }
    void setMaxAge(int seconds) { m_maxAge = std::max(0, seconds); }
    void setWeakEntityTags(bool weak) { m_weakEntityTags = weak; }
    // The X-GitHub-Enterprise-Version every reply carries, as GitHub Enterprise Server
    // sends it ("3.13.0"); empty, as on github.com, for none.
    void setEnterpriseVersion(const QString& version) { m_enterpriseVersion = version; }

    // `path` is the request's path with the API prefix removed; `apiBase` the absolute
    // base the Link URLs are written on.
    HttpResponse respond(const HttpRequest& request, const QString& path, const QUrl& apiBase);

private:
    HttpResponse answer(const HttpRequest& request, const QString& path, const QUrl& apiBase);

    struct Resolved
    {
        HttpResponse response;
        QDateTime lastModified;
    };

    bool isAuthorized(const HttpRequest& request) const;
    // The token the request carries; empty when none.
    static QString tokenOf(const HttpRequest& request);
    Resolved resolve(const HttpRequest& request, const QString& path, const QUrl& apiBase);
    Resolved notifications(const HttpRequest& request, const QString& path, const QUrl& apiBase) const;
    Resolved thread(const HttpRequest& request, const QString& id);
    Resolved issues(const HttpRequest& request, const QString& path, const QUrl& apiBase) const;
    Resolved page(const QJsonArray& all, const HttpRequest& request, const QString& path, const QUrl& apiBase,
        const QDateTime& lastModified) const;
    void addValidators(HttpResponse& response, const QDateTime& lastModified) const;

    Scenario m_scenario;
    RateLimit m_rateLimit;
    QSet<QString> m_tokens;
    QHash<QString, QString> m_logins;
    int m_pageSize = defaultPageSize;
    int m_pollInterval = 60;
    int m_maxAge = defaultMaxAge;
    bool m_weakEntityTags = false;
    QString m_enterpriseVersion;
};

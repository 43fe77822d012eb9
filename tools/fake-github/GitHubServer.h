#pragma once

#include "DeviceFlowEndpoints.h"
#include "GitHubPayloads.h"
#include "OAuthReply.h"
#include "RestApi.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class HttpConnection;
struct HttpRequest;
class QTcpServer;

// A GitHub on 127.0.0.1 for the offline demo and the fake-github program: a real
// HTTP/1.1 server (keep-alive, any number of connections) that serves a scenario of
// notification threads, assigned issues and REST resources the way api.github.com does
// (token check, paging with Link, ETag/Last-Modified and 304, rate-limit headers), and
// GitHub's OAuth device flow from a script. Tests use FakeGitHub, which adds faults and
// a record of the requests.
//
// It runs on the thread that creates it and never blocks: delays are timers, so the
// code it serves may share its event loop.
class GitHubServer : public QObject
{
    Q_OBJECT

public:
    explicit GitHubServer(QObject* parent = nullptr);
    ~GitHubServer() override;

    // Listens on 127.0.0.1; port 0 picks a free port.
    bool listen(quint16 port = 0);
    quint16 port() const;

    // "http://127.0.0.1:PORT", the web base (OAuth endpoints, html_url links).
    QUrl url() const;
    QUrl webBaseUrl() const { return url(); }
    // url() followed by the API prefix: where the REST paths are served.
    QUrl apiBaseUrl() const;
    // Serves the REST paths under a prefix, as GitHub Enterprise does with "/api/v3".
    void setApiPrefix(const QString& prefix);

    // A payload builder whose URLs point at this server.
    GitHubPayloads payloads() const;

    // Accepted tokens; every REST path answers 401 to any other token.
    void setToken(const QString& token) { m_rest.setToken(token); }
    void addToken(const QString& token) { m_rest.addToken(token); }
    // A token of `login`'s: GET /user names that account to it.
    void addToken(const QString& token, const QString& login) { m_rest.addToken(token, login); }

    // The scenario: threads by "id", assigned issues by "id", resources by path.
    void setNotifications(const QJsonArray& threads) { m_rest.scenario().setThreads(threads); }
    void addNotification(const QJsonObject& thread) { m_rest.scenario().addThread(thread); }
    std::optional<QJsonObject> notification(const QString& id) const { return m_rest.scenario().thread(id); }
    // The user read the thread on GitHub itself (its web pages, another client): it
    // leaves the unread list as a PATCH would; false for an unknown id.
    bool readNotificationOnServer(const QString& id) { return m_rest.scenario().markThreadRead(id); }
    // The user marked the thread done: it left every list until it is added again.
    bool isNotificationDone(const QString& id) const { return m_rest.scenario().isThreadDone(id); }
    // Every unread thread, newest "updated_at" first: what a sync from the start would get.
    QJsonArray unreadNotifications() const { return m_rest.scenario().threads({}, false); }
    void setAssignedIssues(const QJsonArray& issues) { m_rest.scenario().setIssues(issues); }
    void addAssignedIssue(const QJsonObject& issue) { m_rest.scenario().addIssue(issue); }
    // Every assigned item, open or closed, newest "updated_at" first.
    QJsonArray assignedIssues() const
    {
        return m_rest.scenario().issues({}, QStringLiteral("all"), QStringLiteral("updated"), false);
    }
    // `path` is relative to the API base ("/repos/o/r/pulls/1"), or an absolute URL on
    // it (a payload's own "url" or "statuses_url").
    void setResource(const QString& path, const QJsonValue& json, int status = 200);
    void removeResource(const QString& path);

    // Page size of the lists when no per_page is asked (50 by default).
    void setPageSize(int pageSize) { m_rest.setPageSize(pageSize); }
    void setPollInterval(int seconds) { m_rest.setPollInterval(seconds); }
    // Cache-Control max-age of GET replies (60 by default; 0 makes them stale at once).
    void setMaxAge(int seconds) { m_rest.setMaxAge(seconds); }
    // W/"…" entity tags instead of strong ones.
    void setWeakETags(bool weak) { m_rest.setWeakEntityTags(weak); }
    // Every REST reply names this GitHub Enterprise Server version ("3.12.0") in
    // X-GitHub-Enterprise-Version; empty, as github.com, for none (the default).
    void setEnterpriseVersion(const QString& version) { m_rest.setEnterpriseVersion(version); }
    // Added before every reply, for every request.
    void setLatency(std::chrono::milliseconds latency) { m_latency = latency; }
    // Starts a new rate-limit window; once `remaining` reaches 0, REST replies are 403.
    void setRateLimit(int limit, int remaining) { m_rest.rateLimit().reset(limit, remaining); }
    // Rate-limit windows of this length (an hour by default).
    void setRateLimitWindow(std::chrono::seconds window) { m_rest.rateLimit().setWindow(window); }
    // "Now" of the rate-limit windows, so that a test on virtual time sees the reset.
    void setRateLimitClock(std::function<QDateTime()> now) { m_rest.rateLimit().setClock(std::move(now)); }
    int rateLimitRemaining() const;

    // OAuth device flow script.
    void setDeviceCodeReply(const OAuthReply& reply) { m_deviceFlow.setDeviceCodeReply(reply); }
    void queueTokenReply(const OAuthReply& reply) { m_deviceFlow.queueTokenReply(reply); }
    int queuedTokenReplies() const { return m_deviceFlow.queuedTokenReplies(); }

    // TCP connections accepted since listen().
    int connectionCount() const { return m_connectionCount; }
    // Closes the connections that wait for a request, as servers end idle keep-alive
    // connections; a client opens new ones for its next requests.
    void closeIdleConnections();

protected:
    // Takes each request of a connection; this server answers it after the latency.
    virtual void handle(HttpConnection* connection, const HttpRequest& request);
    // GitHub's reply to `request`; `path` is its path without the API prefix (routePath()).
    HttpResponse answer(const HttpRequest& request, const QString& path);
    // Sends `response`, dated now, as the answer to the connection's current request.
    static void send(HttpConnection* connection, HttpResponse response);
    // A REST path without the API prefix ("/notifications"); other paths as they are.
    QString routePath(const QString& path) const;
    std::chrono::milliseconds latency() const { return m_latency; }

private:
    void acceptConnections();
    bool isUnderApi(const QString& path) const;
    QString resourcePath(const QString& pathOrUrl) const;

    QTcpServer* m_server;
    QString m_apiPrefix;
    RestApi m_rest;
    DeviceFlowEndpoints m_deviceFlow;
    std::chrono::milliseconds m_latency {0};
    int m_connectionCount = 0;
};

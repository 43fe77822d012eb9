#pragma once

#include "DeviceFlowEndpoints.h"
#include "Fault.h"
#include "FaultTable.h"
#include "FaultTarget.h"
#include "GitHubPayloads.h"
#include "OAuthReply.h"
#include "RecordedRequest.h"
#include "RestApi.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class HttpConnection;
class QTcpServer;

// A fake GitHub on 127.0.0.1 for tests, benchmarks and the offline demo: a real HTTP/1.1
// server (keep-alive, any number of connections) that serves a scenario of notification
// threads, assigned issues and REST resources the way api.github.com does (token check,
// paging with Link, ETag/Last-Modified and 304, rate-limit headers), GitHub's OAuth
// device flow from a script, and faults on demand. It records every request.
//
// It runs on the thread that creates it and never blocks: delays are timers, so the
// code under test may share its event loop.
class FakeGitHub : public QObject
{
    Q_OBJECT

public:
    static constexpr int always = FaultTable::always;

    explicit FakeGitHub(QObject* parent = nullptr);
    ~FakeGitHub() override;

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

    // The scenario: threads by "id", assigned issues by "id", resources by path.
    void setNotifications(const QJsonArray& threads) { m_rest.scenario().setThreads(threads); }
    void addNotification(const QJsonObject& thread) { m_rest.scenario().addThread(thread); }
    std::optional<QJsonObject> notification(const QString& id) const { return m_rest.scenario().thread(id); }
    // The user read the thread on GitHub itself (its web pages, another client): it
    // leaves the unread list as a PATCH would; false for an unknown id.
    bool readNotificationOnServer(const QString& id) { return m_rest.scenario().markThreadRead(id); }
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

    // The next `times` requests matching `target` (or all of them, with `always`) fail.
    void injectFault(const FaultTarget& target, const Fault& fault, int times = 1)
    {
        m_faults.add(target, fault, times);
    }
    void clearFaults() { m_faults.clear(); }

    // Every request received since the start or the last clearRequests(), oldest first.
    const QList<RecordedRequest>& requests() const { return m_requests; }
    QList<RecordedRequest> requestsTo(const QString& path) const;
    QList<RecordedRequest> requestsUnder(const QString& prefix) const;
    void clearRequests() { m_requests.clear(); }
    // Requests answered with a body that cost a full transfer (2xx with content; not 304).
    int fullCostCount() const;
    int notModifiedCount() const;
    // Requests answered with `status`, e.g. 403 when the rate limit ran out.
    int answeredCount(int status) const;
    // TCP connections accepted since listen().
    int connectionCount() const { return m_connectionCount; }
    // Closes the connections that wait for a request, as servers end idle keep-alive
    // connections; a client opens new ones for its next requests.
    void closeIdleConnections();

Q_SIGNALS:
    void requestReceived(const RecordedRequest& request);
    // The request was answered or its connection dropped on purpose.
    void requestHandled(const RecordedRequest& request);

private:
    void acceptConnections();
    void handle(HttpConnection* connection, const HttpRequest& request);
    void finish(HttpConnection* connection, const RecordedRequest& record, const std::optional<Fault>& fault);
    HttpResponse answer(const HttpRequest& request, const QString& path);
    bool isUnderApi(const QString& path) const;
    QString routePath(const QString& path) const;
    QString resourcePath(const QString& pathOrUrl) const;
    void complete(RecordedRequest record, RecordedRequest::Outcome outcome, int status);

    QTcpServer* m_server;
    QString m_apiPrefix;
    RestApi m_rest;
    DeviceFlowEndpoints m_deviceFlow;
    FaultTable m_faults;
    std::chrono::milliseconds m_latency {0};
    QList<RecordedRequest> m_requests;
    quint64 m_sequence = 0;
    int m_connectionCount = 0;
};

#pragma once

#include "http/HttpCache.h"
#include "http/HttpCall.h"
#include "http/HttpExchange.h"
#include "http/RateLimitBudget.h"
#include "http/RequestQueue.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QObject>

#include <chrono>
#include <memory>
#include <optional>

class DebugLogger;
class Scheduler;

// The HTTP client of an account (held in Environment::http; the accounts' transports
// share the first one's QNetworkAccessManager): sends requests over that manager and
// reports each exactly once, with the complete reply or a TransportError. GET replies
// go through a private cache kept per credential, so an unchanged resource costs
// GitHub a 304, or nothing while it is fresh. Redirects are reported, not followed:
// the sender decides whether the new address may see its headers.
//
// Requests wait in its own queue (see RequestQueue) and a few at a time per host are
// handed to the network manager; their time-out runs from then. A GET sent again
// with the same credential and media type while the first is on its way shares the
// first's reply. It keeps GitHub's rate limit as a budget (see RateLimitBudget),
// pausing status requests near its end and telling the debug log and its listeners.
class HttpTransport final : public QObject
{
    Q_OBJECT

public:
    using Outcome = HttpExchange::Outcome;
    using Handler = HttpExchange::Handler;

    static constexpr std::chrono::seconds requestTimeout {60};
    // The longest gap between polls a reply may ask for; longer asks are capped.
    static constexpr std::chrono::seconds maxPollInterval {3600};
    // Requests on the wire to the host of `url` at a time: over TLS Qt speaks HTTP/2
    // to GitHub, which carries a dozen on one connection; plain HTTP/1.1 gets Qt's six
    // connections, and a request beyond them would wait inside Qt, its time-out running.
    static int maxRequestsPerHost(const QUrl& url);

    // `cacheDirectory` holds one sub-directory per credential. Pauses and resumptions
    // of status requests go to `logger`.
    HttpTransport(Scheduler& scheduler, DebugLogger& logger, const QString& cacheDirectory, QObject* parent = nullptr);
    // A transport of its own (cache, rate-limit budget, queue) over the network manager of
    // `other`, which outlives it: another account's, on the same connections.
    HttpTransport(Scheduler& scheduler, DebugLogger& logger, const QString& cacheDirectory, HttpTransport& other,
        QObject* parent = nullptr);
    ~HttpTransport() override;

    // $XDG_CACHE_HOME/tidewhelk/http
    static QString defaultCacheDirectory();

    // `handler` runs once, on a later turn of the event loop, unless the call is
    // dropped first.
    [[nodiscard]] HttpCall send(OutgoingRequest request, Handler handler);

    // Calls whose handler has neither run nor been dropped.
    int requestsInFlight() const { return m_inFlight; }
    // Requests in the queue, not yet handed to the network.
    int requestsWaiting() const { return m_queue.waiting(); }

    // While status requests wait for the rate limit's reset: since when, and until when.
    std::optional<RateLimitBudget::Pause> rateLimitPause() const { return m_budget.pause(); }

    // The least time the server last asked clients to leave between polls (GitHub's
    // X-Poll-Interval on its notifications list); zero before any reply asked.
    std::chrono::seconds pollInterval() const { return m_pollInterval; }

Q_SIGNALS:
    // No request is in flight any more; emitted on a later turn of the event loop,
    // after the handlers of the last replies have run.
    void becameIdle();
    // Status requests wait from `since` until `until`, when they go on by themselves.
    void rateLimitPaused(const QDateTime& since, const QDateTime& until);
    void rateLimitResumed();
    void pollIntervalChanged();

private:
    HttpTransport(Scheduler& scheduler, DebugLogger& logger, const QString& cacheDirectory,
        std::unique_ptr<QNetworkAccessManager> ownNetwork, QNetworkAccessManager* sharedNetwork, QObject* parent);
    void senderDone();
    void recordPollInterval(const HeaderList& headers);
    void exchangeEnded(HttpExchange* exchange);
    void sendWaiting();
    void paused(const RateLimitBudget::Pause& pause);
    void resumed();

    Scheduler& m_scheduler;
    DebugLogger& m_logger;
    // Held for the transports that share it; none in those.
    std::unique_ptr<QNetworkAccessManager> m_ownNetwork;
    QNetworkAccessManager& m_network;
    HttpCache m_cache;
    RateLimitBudget m_budget;
    RequestQueue m_queue;
    // GETs not yet reported, by URL, credential and media type.
    QHash<QByteArray, HttpExchange*> m_shared;
    quint64 m_sequence = 0;
    int m_inFlight = 0;
    std::chrono::seconds m_pollInterval {0};
    bool m_idleCheckPending = false;
};

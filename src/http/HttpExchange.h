#pragma once

#include "core/TimerHandle.h"
#include "http/HttpCache.h"
#include "http/HttpReply.h"
#include "http/OutgoingRequest.h"
#include "http/TransportError.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <variant>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;
class RateLimitBudget;
class Scheduler;

// One request of HttpTransport from its first sender to its single report, which
// every sender of the same GET receives: served from the cache while fresh, otherwise
// waiting in the transport's queue until it is sent (conditionally when a stale reply
// is kept), timed out through the scheduler from that moment, and recorded in the
// cache. Deletes itself when over.
class HttpExchange final : public QObject
{
public:
    using Outcome = std::variant<HttpReply, TransportError>;
    using Handler = std::function<void(const Outcome&)>;

    struct Services
    {
        QNetworkAccessManager& network;
        HttpCache& cache;
        Scheduler& scheduler;
        RateLimitBudget& budget;
        // The headers of every reply that came over the network.
        std::function<void(const HeaderList&)> received;
        // Once per sender, when its handler has run or it cancelled.
        std::function<void()> senderDone;
        // Once, when the exchange is over.
        std::function<void(HttpExchange*)> ended;
    };

    HttpExchange(Services services, OutgoingRequest request, quint64 sequence, QObject* parent);

    const OutgoingRequest& request() const { return m_request; }
    RequestKind kind() const { return m_request.kind; }
    // Order of arrival in the transport's queue.
    quint64 sequence() const { return m_sequence; }
    QByteArray credential() const { return m_request.headers.value("Authorization").value_or(QByteArray()); }
    // A stale reply is kept whose validators may earn a free 304.
    bool revalidates() const { return m_revalidates; }
    bool isSent() const { return m_sent; }
    // In the transport's queue: neither sent nor served from the cache.
    bool isWaiting() const { return !m_sent && !m_served; }

    // Another sender; the identifier cancels its part. A more urgent kind of sender
    // raises the exchange's kind.
    quint64 addSender(Handler handler, RequestKind kind);
    // The sender's handler will not run; the last one leaving aborts the exchange.
    void cancel(quint64 sender);

    // Serves the kept reply when it is fresh (true), or notes whether a stale one can
    // be revalidated (false: the exchange has to be sent).
    bool serveFromCache();
    void send();

private:
    void onReplyFinished();
    void onTimeout();
    void abortReply();
    void report(const Outcome& outcome);
    void end();

    Services m_services;
    OutgoingRequest m_request;
    quint64 m_sequence;
    std::vector<std::pair<quint64, Handler>> m_senders;
    quint64 m_nextSender = 0;
    std::optional<HttpCache::Entry> m_kept;
    bool m_revalidates = false;
    bool m_sent = false;
    bool m_served = false;
    QPointer<QNetworkReply> m_reply;
    TimerHandle m_timeout;
    bool m_over = false;
};

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

class QNetworkAccessManager;
class QNetworkReply;
class Scheduler;

// One request of HttpTransport from sending to its single report: served from the
// cache while fresh, otherwise sent (conditionally when a stale reply is kept), timed
// out through the scheduler, and recorded in the cache. Deletes itself when over.
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
    };

    // `ended` runs once when the exchange is over, after the handler (if any) ran.
    HttpExchange(
        Services services, OutgoingRequest request, Handler handler, std::function<void()> ended, QObject* parent);

    void start();
    // Stops without reporting.
    void cancel();

private:
    void send();
    void onReplyFinished();
    void onTimeout();
    void abortReply();
    void report(const Outcome& outcome);
    void end();

    Services m_services;
    OutgoingRequest m_request;
    Handler m_handler;
    std::function<void()> m_ended;
    std::optional<HttpCache::Entry> m_kept;
    QPointer<QNetworkReply> m_reply;
    TimerHandle m_timeout;
    bool m_over = false;
};

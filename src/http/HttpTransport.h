#pragma once

#include "http/HttpCache.h"
#include "http/HttpCall.h"
#include "http/HttpExchange.h"

#include <QNetworkAccessManager>
#include <QObject>

#include <chrono>

class Scheduler;

// The one HTTP client of the process (held in Environment::http): sends requests
// over the shared QNetworkAccessManager and reports each exactly once, with the
// complete reply or a TransportError. GET replies go through a private cache kept
// per credential, so an unchanged resource costs GitHub a 304, or nothing while it
// is fresh. Redirects are reported, not followed: the sender decides whether the
// new address may see its headers.
class HttpTransport final : public QObject
{
    Q_OBJECT

public:
    using Outcome = HttpExchange::Outcome;
    using Handler = HttpExchange::Handler;

    static constexpr std::chrono::seconds requestTimeout {60};

    // `cacheDirectory` holds one sub-directory per credential.
    HttpTransport(Scheduler& scheduler, const QString& cacheDirectory, QObject* parent = nullptr);
    ~HttpTransport() override;

    // $XDG_CACHE_HOME/tidewhelk/http
    static QString defaultCacheDirectory();

    // `handler` runs once, on a later turn of the event loop, unless the call is
    // dropped first.
    [[nodiscard]] HttpCall send(OutgoingRequest request, Handler handler);

    // Sent or being served, not yet reported or aborted.
    int requestsInFlight() const { return m_inFlight; }

Q_SIGNALS:
    // No request is in flight any more; emitted on a later turn of the event loop,
    // after the handlers of the last replies have run.
    void becameIdle();

private:
    void exchangeEnded();

    Scheduler& m_scheduler;
    QNetworkAccessManager m_network;
    HttpCache m_cache;
    int m_inFlight = 0;
    bool m_idleCheckPending = false;
};

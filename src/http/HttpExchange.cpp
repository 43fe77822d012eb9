#include "http/HttpExchange.h"

#include "core/Scheduler.h"
#include "http/HttpCachePolicy.h"
#include "http/HttpTransport.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {

// Errors below 200 are the connection's own (refused, closed, timed out, TLS, proxy);
// the others only translate an HTTP status, which the reply carries anyway.
bool isConnectionError(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

} // namespace

HttpExchange::HttpExchange(
    Services services, OutgoingRequest request, Handler handler, std::function<void()> ended, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_request(std::move(request))
    , m_handler(std::move(handler))
    , m_ended(std::move(ended))
{ }

void HttpExchange::start()
{
    if (m_request.method == "GET")
        m_kept = m_services.cache.find(m_request);
    if (m_kept && m_services.scheduler.now() < m_kept->freshUntil) {
        QMetaObject::invokeMethod(
            this, [this] { report(m_kept->reply); }, Qt::QueuedConnection);
        return;
    }
    send();
}

void HttpExchange::send()
{
    QNetworkRequest request(m_request.url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    for (const HeaderList::Field& field : m_request.headers.fields())
        request.setRawHeader(field.first, field.second);
    if (m_kept) {
        const HeaderList validators = HttpCachePolicy::validators(m_kept->reply.headers);
        for (const HeaderList::Field& field : validators.fields())
            request.setRawHeader(field.first, field.second);
    }
    m_reply = m_request.method == "GET"
        ? m_services.network.get(request)
        : m_services.network.sendCustomRequest(request, m_request.method, m_request.body);
    m_reply->setParent(this);
    connect(m_reply, &QNetworkReply::finished, this, &HttpExchange::onReplyFinished);
    m_timeout = m_services.scheduler.start(HttpTransport::requestTimeout, [this] { onTimeout(); });
}

void HttpExchange::onReplyFinished()
{
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (isConnectionError(m_reply->error()) || !status.isValid()) {
        if (m_reply->error() == QNetworkReply::NoError)
            report(HttpReply {0, {}, m_reply->readAll()});
        else
            report(TransportError(m_reply->error(), m_reply->errorString()));
        return;
    }
    HttpReply received {status.toInt(), HeaderList(m_reply->rawHeaderPairs()), m_reply->readAll()};
    const QDateTime now = m_services.scheduler.now();
    if (received.statusCode == 304 && m_kept)
        received = m_services.cache.confirm(m_request, *m_kept, received.headers, now);
    else
        m_services.cache.record(m_request, received, now);
    report(received);
}

void HttpExchange::onTimeout()
{
    abortReply();
    report(TransportError::timedOut(static_cast<int>(HttpTransport::requestTimeout.count())));
}

void HttpExchange::report(const Outcome& outcome)
{
    if (m_over)
        return;
    m_over = true;
    // The handler may drop the sender's HttpCall; the exchange is already over then.
    const Handler handler = std::move(m_handler);
    handler(outcome);
    end();
}

void HttpExchange::cancel()
{
    if (m_over)
        return;
    m_over = true;
    m_handler = nullptr;
    abortReply();
    end();
}

void HttpExchange::abortReply()
{
    // Disconnected first: abort() reports `finished` at once.
    if (QNetworkReply* reply = m_reply.data()) {
        reply->disconnect(this);
        reply->abort();
    }
}

void HttpExchange::end()
{
    m_timeout.cancel();
    deleteLater();
    const auto ended = std::move(m_ended);
    ended();
}

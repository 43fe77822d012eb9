#include "http/HttpExchange.h"

#include "core/Scheduler.h"
#include "http/HttpCachePolicy.h"
#include "http/HttpTransport.h"
#include "http/RateLimitBudget.h"

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

HttpExchange::HttpExchange(Services services, OutgoingRequest request, quint64 sequence, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_request(std::move(request))
    , m_sequence(sequence)
{ }

quint64 HttpExchange::addSender(Handler handler, RequestKind kind)
{
    m_senders.emplace_back(++m_nextSender, std::move(handler));
    m_request.kind = std::min(m_request.kind, kind);
    return m_nextSender;
}

bool HttpExchange::serveFromCache()
{
    if (m_request.method != "GET")
        return false;
    const std::optional<HttpCache::Summary> summary = m_services.cache.summary(m_request);
    if (!summary)
        return false;
    if (m_request.revalidate || m_services.scheduler.now() >= summary->freshUntil) {
        m_revalidates = summary->revalidatable;
        return false;
    }
    m_kept = m_services.cache.find(m_request);
    if (!m_kept)
        return false;
    m_served = true;
    QMetaObject::invokeMethod(
        this, [this] { report(m_kept->reply); }, Qt::QueuedConnection);
    return true;
}

void HttpExchange::send()
{
    QNetworkRequest request(m_request.url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    for (const HeaderList::Field& field : m_request.headers.fields())
        request.setRawHeader(field.first, field.second);
    m_sent = true;
    if (m_revalidates)
        m_kept = m_services.cache.find(m_request);
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
    m_services.budget.record(credential(), received.headers);
    m_services.received(received.headers);
    const QDateTime now = m_services.scheduler.now();
    if (received.statusCode == 304 && m_kept)
        received = m_services.cache.confirm(m_request, *m_kept, received.headers, now);
    else
        m_services.cache.record(m_request, received, now);
    m_kept.reset();
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
    m_timeout.cancel();
    // A handler may drop its own call or another sender's; a sender gone by then is
    // not called.
    while (!m_senders.empty()) {
        Handler handler = std::move(m_senders.front().second);
        m_senders.erase(m_senders.begin());
        handler(outcome);
        m_services.senderDone();
    }
    end();
}

void HttpExchange::cancel(quint64 sender)
{
    const auto found = std::find_if(
        m_senders.begin(), m_senders.end(), [sender](const auto& entry) { return entry.first == sender; });
    if (found == m_senders.end())
        return;
    m_senders.erase(found);
    m_services.senderDone();
    if (m_over || !m_senders.empty())
        return;
    m_over = true;
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
    m_kept.reset();
    deleteLater();
    m_services.ended(this);
}

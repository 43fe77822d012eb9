#include "http/HttpTransport.h"

#include <QDir>
#include <QStandardPaths>

HttpTransport::HttpTransport(Scheduler& scheduler, const QString& cacheDirectory, QObject* parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_cache(cacheDirectory)
{ }

HttpTransport::~HttpTransport()
{
    // Requests still running end before the manager their replies belong to.
    qDeleteAll(findChildren<HttpExchange*>(Qt::FindDirectChildrenOnly));
}

QString HttpTransport::defaultCacheDirectory()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(QStringLiteral("tidewhelk/http"));
}

HttpCall HttpTransport::send(OutgoingRequest request, Handler handler)
{
    ++m_inFlight;
    auto* exchange = new HttpExchange(
        {m_network, m_cache, m_scheduler}, std::move(request), std::move(handler), [this] { exchangeEnded(); }, this);
    exchange->start();
    return HttpCall(exchange);
}

void HttpTransport::exchangeEnded()
{
    --m_inFlight;
    if (m_inFlight > 0 || m_idleCheckPending)
        return;
    m_idleCheckPending = true;
    // Queued behind the results just delivered, so that requests their handlers send
    // keep the transport busy.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_idleCheckPending = false;
            if (m_inFlight == 0)
                Q_EMIT becameIdle();
        },
        Qt::QueuedConnection);
}

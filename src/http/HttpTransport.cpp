#include "http/HttpTransport.h"

#include "core/DebugLogger.h"
#include "core/Scheduler.h"

#include <QDir>
#include <QStandardPaths>

namespace {

const QString kLogSource = QStringLiteral("RateLimit");

// GETs that would fetch the same reply: same URL, credential and media type.
QByteArray sharingKey(const OutgoingRequest& request)
{
    if (request.method != "GET")
        return {};
    return request.url.toEncoded() + '\n' + request.headers.value("Authorization").value_or(QByteArray()) + '\n'
        + request.headers.value("Accept").value_or(QByteArray());
}

} // namespace

HttpTransport::HttpTransport(Scheduler& scheduler, DebugLogger& logger, const QString& cacheDirectory, QObject* parent)
    : HttpTransport(scheduler, logger, cacheDirectory, std::make_unique<QNetworkAccessManager>(), nullptr, parent)
{ }

HttpTransport::HttpTransport(
    Scheduler& scheduler, DebugLogger& logger, const QString& cacheDirectory, HttpTransport& other, QObject* parent)
    : HttpTransport(scheduler, logger, cacheDirectory, nullptr, &other.m_network, parent)
{ }

HttpTransport::HttpTransport(Scheduler& scheduler, DebugLogger& logger, const QString& cacheDirectory,
    std::unique_ptr<QNetworkAccessManager> ownNetwork, QNetworkAccessManager* sharedNetwork, QObject* parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_logger(logger)
    , m_ownNetwork(std::move(ownNetwork))
    , m_network(m_ownNetwork ? *m_ownNetwork : *sharedNetwork)
    , m_cache(scheduler, cacheDirectory)
    , m_budget(scheduler)
    , m_queue(&HttpTransport::maxRequestsPerHost)
{
    connect(&m_budget, &RateLimitBudget::paused, this, &HttpTransport::paused);
    connect(&m_budget, &RateLimitBudget::resumed, this, &HttpTransport::resumed);
}

HttpTransport::~HttpTransport()
{
    // Requests still running end before the manager their replies belong to.
    qDeleteAll(findChildren<HttpExchange*>(Qt::FindDirectChildrenOnly));
}

int HttpTransport::maxRequestsPerHost(const QUrl& url)
{
    return url.scheme() == QLatin1String("https") ? 12 : 6;
}

QString HttpTransport::defaultCacheDirectory()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(QStringLiteral("tidewhelk/http"));
}

HttpCall HttpTransport::send(OutgoingRequest request, Handler handler)
{
    ++m_inFlight;
    const QByteArray key = sharingKey(request);
    if (HttpExchange* shared = key.isEmpty() ? nullptr : m_shared.value(key)) {
        // A more urgent sender moves a waiting request to its own line.
        const bool moves = shared->isWaiting() && request.kind < shared->kind();
        if (moves)
            m_queue.remove(shared);
        const quint64 sender = shared->addSender(std::move(handler), request.kind);
        if (moves) {
            m_queue.add(shared);
            sendWaiting();
        }
        return HttpCall(shared, sender);
    }

    const RequestKind kind = request.kind;
    auto* exchange = new HttpExchange(
        {m_network, m_cache, m_scheduler, m_budget, [this](const HeaderList& headers) { recordPollInterval(headers); },
            [this] { senderDone(); }, [this](HttpExchange* ended) { exchangeEnded(ended); }},
        std::move(request), ++m_sequence, this);
    const quint64 sender = exchange->addSender(std::move(handler), kind);
    if (!key.isEmpty())
        m_shared.insert(key, exchange);
    if (!exchange->serveFromCache()) {
        m_queue.add(exchange);
        sendWaiting();
    }
    return HttpCall(exchange, sender);
}

void HttpTransport::recordPollInterval(const HeaderList& headers)
{
    const std::optional<qint64> seconds = headers.integer("X-Poll-Interval");
    if (!seconds || *seconds <= 0)
        return;
    // A broken or hostile value must not stop the feeds for good.
    const std::chrono::seconds interval {std::min<qint64>(*seconds, maxPollInterval.count())};
    if (interval == m_pollInterval)
        return;
    m_pollInterval = interval;
    Q_EMIT pollIntervalChanged();
}

void HttpTransport::sendWaiting()
{
    const std::vector<HttpExchange*> sendable
        = m_queue.takeSendable([this](const QByteArray& credential) { return m_budget.holds(credential); });
    for (HttpExchange* exchange : sendable)
        exchange->send();
}

void HttpTransport::exchangeEnded(HttpExchange* exchange)
{
    const QByteArray key = sharingKey(exchange->request());
    if (!key.isEmpty() && m_shared.value(key) == exchange)
        m_shared.remove(key);
    if (exchange->isSent())
        m_queue.sendEnded(*exchange);
    else if (exchange->isWaiting())
        m_queue.remove(exchange);
    sendWaiting();
}

void HttpTransport::senderDone()
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

void HttpTransport::paused(const RateLimitBudget::Pause& pause)
{
    m_logger.log(RateLimitBudget::pauseText(pause), LogLevel::Warning, kLogSource);
    Q_EMIT rateLimitPaused(pause.since, pause.until);
}

void HttpTransport::resumed()
{
    m_logger.log(RateLimitBudget::resumeText(m_scheduler.now()), LogLevel::Info, kLogSource);
    Q_EMIT rateLimitResumed();
    sendWaiting();
}

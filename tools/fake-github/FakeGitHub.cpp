#include "FakeGitHub.h"

#include "HttpConnection.h"
#include "HttpDate.h"

#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace std::chrono_literals;

FakeGitHub::FakeGitHub(QObject* parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &FakeGitHub::acceptConnections);
}

FakeGitHub::~FakeGitHub() = default;

bool FakeGitHub::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 FakeGitHub::port() const
{
    return m_server->serverPort();
}

QUrl FakeGitHub::url() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port()));
}

QUrl FakeGitHub::apiBaseUrl() const
{
    QUrl base = url();
    base.setPath(m_apiPrefix);
    return base;
}

void FakeGitHub::setApiPrefix(const QString& prefix)
{
    m_apiPrefix = prefix;
    while (m_apiPrefix.endsWith(QLatin1Char('/')))
        m_apiPrefix.chop(1);
}

GitHubPayloads FakeGitHub::payloads() const
{
    return GitHubPayloads(apiBaseUrl().toString(), webBaseUrl().toString());
}

void FakeGitHub::setResource(const QString& path, const QJsonValue& json, int status)
{
    const QJsonDocument document = json.isArray() ? QJsonDocument(json.toArray()) : QJsonDocument(json.toObject());
    m_rest.scenario().setResource(resourcePath(path), status, document.toJson(QJsonDocument::Compact));
}

void FakeGitHub::removeResource(const QString& path)
{
    m_rest.scenario().removeResource(resourcePath(path));
}

int FakeGitHub::rateLimitRemaining() const
{
    return m_rest.rateLimit().remaining();
}

QList<RecordedRequest> FakeGitHub::requestsTo(const QString& path) const
{
    QList<RecordedRequest> matching;
    std::copy_if(m_requests.begin(), m_requests.end(), std::back_inserter(matching),
        [&](const RecordedRequest& r) { return r.path == path; });
    return matching;
}

QList<RecordedRequest> FakeGitHub::requestsUnder(const QString& prefix) const
{
    QList<RecordedRequest> matching;
    std::copy_if(m_requests.begin(), m_requests.end(), std::back_inserter(matching),
        [&](const RecordedRequest& r) { return r.path.startsWith(prefix); });
    return matching;
}

int FakeGitHub::fullCostCount() const
{
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(), [](const RecordedRequest& r) {
        return r.status >= 200 && r.status < 300 && r.status != 204 && r.status != 205;
    }));
}

int FakeGitHub::notModifiedCount() const
{
    return static_cast<int>(
        std::count_if(m_requests.begin(), m_requests.end(), [](const RecordedRequest& r) { return r.notModified(); }));
}

int FakeGitHub::answeredCount(int status) const
{
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(), [status](const RecordedRequest& r) {
        return r.outcome == RecordedRequest::Outcome::Answered && r.status == status;
    }));
}

void FakeGitHub::closeIdleConnections()
{
    for (HttpConnection* connection : findChildren<HttpConnection*>(Qt::FindDirectChildrenOnly)) {
        if (connection->isIdle())
            connection->close();
    }
}

void FakeGitHub::acceptConnections()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        auto* connection = new HttpConnection(socket, ++m_connectionCount, this);
        connect(connection, &HttpConnection::requestReceived, this,
            [this, connection](const HttpRequest& request) { handle(connection, request); });
    }
}

void FakeGitHub::handle(HttpConnection* connection, const HttpRequest& request)
{
    RecordedRequest record;
    record.sequence = ++m_sequence;
    record.request = request;
    record.path = routePath(request.path);
    m_requests.append(record);
    Q_EMIT requestReceived(record);

    const std::optional<Fault> fault = m_faults.take(request.method, record.path);
    if (fault && fault->kind() == Fault::Kind::NeverAnswer)
        return;
    const std::chrono::milliseconds delay = m_latency + (fault ? fault->delay() : 0ms);
    if (delay <= 0ms) {
        finish(connection, record, fault);
        return;
    }
    // The connection is the timer's context: a client that hangs up cancels the reply.
    QTimer::singleShot(
        delay, Qt::PreciseTimer, connection, [this, connection, record, fault] { finish(connection, record, fault); });
}

void FakeGitHub::finish(HttpConnection* connection, const RecordedRequest& record, const std::optional<Fault>& fault)
{
    const auto faultIs = [&fault](Fault::Kind kind) { return fault && fault->kind() == kind; };
    if (faultIs(Fault::Kind::DropConnection)) {
        complete(record, RecordedRequest::Outcome::Dropped, 0);
        connection->drop();
        return;
    }
    HttpResponse response = faultIs(Fault::Kind::Reply) ? fault->response() : answer(record.request, record.path);
    if (faultIs(Fault::Kind::TruncatedBody))
        response.body.truncate(response.body.size() / 2);
    response.headers.set("Date", HttpDate::format(QDateTime::currentDateTimeUtc()));
    complete(record, RecordedRequest::Outcome::Answered, response.status);
    connection->respond(response);
}

HttpResponse FakeGitHub::answer(const HttpRequest& request, const QString& path)
{
    if (DeviceFlowEndpoints::handles(request.path)) {
        const OAuthReply reply = m_deviceFlow.reply(request, webBaseUrl().toString() + QStringLiteral("/login/device"));
        m_rest.addToken(reply.tokenToAccept());
        return reply.render(request.header("Accept").contains("application/json"));
    }
    if (isUnderApi(request.path))
        return m_rest.respond(request, path, apiBaseUrl());
    return HttpResponse::json(
        404, QJsonDocument(GitHubPayloads::error(QStringLiteral("Not Found"))).toJson(QJsonDocument::Compact));
}

bool FakeGitHub::isUnderApi(const QString& path) const
{
    return m_apiPrefix.isEmpty() || path == m_apiPrefix || path.startsWith(m_apiPrefix + QLatin1Char('/'));
}

QString FakeGitHub::routePath(const QString& path) const
{
    if (m_apiPrefix.isEmpty() || !isUnderApi(path))
        return path;
    return path.mid(m_apiPrefix.size());
}

QString FakeGitHub::resourcePath(const QString& pathOrUrl) const
{
    if (!pathOrUrl.startsWith(QLatin1String("http")))
        return pathOrUrl;
    return routePath(QUrl(pathOrUrl).path());
}

void FakeGitHub::complete(RecordedRequest record, RecordedRequest::Outcome outcome, int status)
{
    record.outcome = outcome;
    record.status = status;
    for (auto stored = m_requests.rbegin(); stored != m_requests.rend(); ++stored) {
        if (stored->sequence == record.sequence) {
            *stored = record;
            break;
        }
    }
    Q_EMIT requestHandled(record);
}

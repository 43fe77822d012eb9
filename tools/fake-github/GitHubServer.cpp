#include "GitHubServer.h"

#include "HttpConnection.h"
#include "HttpDate.h"

#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace std::chrono_literals;

GitHubServer::GitHubServer(QObject* parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &GitHubServer::acceptConnections);
}

GitHubServer::~GitHubServer() = default;

bool GitHubServer::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 GitHubServer::port() const
{
    return m_server->serverPort();
}

QUrl GitHubServer::url() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port()));
}

QUrl GitHubServer::apiBaseUrl() const
{
    QUrl base = url();
    base.setPath(m_apiPrefix);
    return base;
}

void GitHubServer::setApiPrefix(const QString& prefix)
{
    m_apiPrefix = prefix;
    while (m_apiPrefix.endsWith(QLatin1Char('/')))
        m_apiPrefix.chop(1);
}

GitHubPayloads GitHubServer::payloads() const
{
    return GitHubPayloads(apiBaseUrl().toString(), webBaseUrl().toString());
}

void GitHubServer::setResource(const QString& path, const QJsonValue& json, int status)
{
    const QJsonDocument document = json.isArray() ? QJsonDocument(json.toArray()) : QJsonDocument(json.toObject());
    m_rest.scenario().setResource(resourcePath(path), status, document.toJson(QJsonDocument::Compact));
}

void GitHubServer::removeResource(const QString& path)
{
    m_rest.scenario().removeResource(resourcePath(path));
}

int GitHubServer::rateLimitRemaining() const
{
    return m_rest.rateLimit().remaining();
}

void GitHubServer::closeIdleConnections()
{
    for (HttpConnection* connection : findChildren<HttpConnection*>(Qt::FindDirectChildrenOnly)) {
        if (connection->isIdle())
            connection->close();
    }
}

void GitHubServer::handle(HttpConnection* connection, const HttpRequest& request)
{
    const auto reply = [this, connection, request] { send(connection, answer(request, routePath(request.path))); };
    if (m_latency <= 0ms) {
        reply();
        return;
    }
    // The connection is the timer's context: a client that hangs up cancels the reply.
    QTimer::singleShot(m_latency, Qt::PreciseTimer, connection, reply);
}

HttpResponse GitHubServer::answer(const HttpRequest& request, const QString& path)
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

void GitHubServer::send(HttpConnection* connection, HttpResponse response)
{
    response.headers.set("Date", HttpDate::format(QDateTime::currentDateTimeUtc()));
    connection->respond(response);
}

QString GitHubServer::routePath(const QString& path) const
{
    if (m_apiPrefix.isEmpty() || !isUnderApi(path))
        return path;
    return path.mid(m_apiPrefix.size());
}

void GitHubServer::acceptConnections()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        auto* connection = new HttpConnection(socket, ++m_connectionCount, this);
        connect(connection, &HttpConnection::requestReceived, this,
            [this, connection](const HttpRequest& request) { handle(connection, request); });
    }
}

bool GitHubServer::isUnderApi(const QString& path) const
{
    return m_apiPrefix.isEmpty() || path == m_apiPrefix || path.startsWith(m_apiPrefix + QLatin1Char('/'));
}

QString GitHubServer::resourcePath(const QString& pathOrUrl) const
{
    if (!pathOrUrl.startsWith(QLatin1String("http")))
        return pathOrUrl;
    return routePath(QUrl(pathOrUrl).path());
}

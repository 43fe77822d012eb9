#include "HttpConnection.h"

#include "HttpResponse.h"

#include <QTcpSocket>

HttpConnection::HttpConnection(QTcpSocket* socket, int id, QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_id(id)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::readIncoming);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
}

void HttpConnection::respond(const HttpResponse& response)
{
    if (!m_busy)
        return;
    m_busy = false;
    const bool close = !m_current.keepAlive();
    HttpResponse sent = response;
    if (close)
        sent.headers.set("Connection", "close");
    m_socket->write(sent.serialize(m_current.method == "HEAD"));
    if (close) {
        m_waiting.clear();
        m_socket->disconnectFromHost();
        return;
    }
    startNext();
}

void HttpConnection::drop()
{
    m_busy = false;
    m_waiting.clear();
    m_socket->abort();
    deleteLater();
}

void HttpConnection::close()
{
    m_socket->disconnectFromHost();
}

void HttpConnection::readIncoming()
{
    m_parser.feed(m_socket->readAll());
    for (HttpRequest& request : m_parser.takeRequests()) {
        request.connection = m_id;
        m_waiting.append(std::move(request));
    }
    startNext();
}

void HttpConnection::startNext()
{
    if (m_busy)
        return;
    if (m_waiting.isEmpty()) {
        if (m_parser.hasError()) {
            HttpResponse badRequest = HttpResponse::json(400, R"({"message":"Bad Request"})");
            badRequest.headers.set("Connection", "close");
            m_socket->write(badRequest.serialize(false));
            m_socket->disconnectFromHost();
        }
        return;
    }
    m_busy = true;
    m_current = m_waiting.takeFirst();
    Q_EMIT requestReceived(m_current);
}

#pragma once

#include "HttpRequest.h"
#include "HttpRequestParser.h"

#include <QList>
#include <QObject>

class QTcpSocket;
struct HttpResponse;

// One accepted TCP connection of the fake server. It parses the requests that arrive
// on it and hands them out one at a time: the next request is announced only once the
// current one has been answered, so replies always leave in request order, whatever
// delay each one is given. It deletes itself when the peer goes away.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    HttpConnection(QTcpSocket* socket, int id, QObject* parent);

    int id() const { return m_id; }

    // Answers the request in progress; closes the connection afterwards when the
    // client asked for it.
    void respond(const HttpResponse& response);

    // Closes the connection without answering the request in progress.
    void drop();

    // No request is being answered or waiting.
    bool isIdle() const { return !m_busy && m_waiting.isEmpty(); }
    // Closes the connection once what was written has left.
    void close();

Q_SIGNALS:
    void requestReceived(const HttpRequest& request);

private:
    void readIncoming();
    void startNext();

    QTcpSocket* m_socket;
    const int m_id;
    HttpRequestParser m_parser;
    QList<HttpRequest> m_waiting;
    HttpRequest m_current;
    bool m_busy = false;
};

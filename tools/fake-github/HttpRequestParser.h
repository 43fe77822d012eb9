#pragma once

#include "HttpRequest.h"

#include <QByteArray>
#include <QList>

// Takes the bytes of one connection as they arrive, in pieces of any size, and cuts
// them into complete requests (request line, headers, Content-Length body). A request
// split across several reads comes out once its last byte is in.
class HttpRequestParser
{
public:
    static constexpr qsizetype maxHeaderBytes = 64 * 1024;
    static constexpr qsizetype maxBodyBytes = 16 * 1024 * 1024;

    void feed(const QByteArray& bytes);

    // The requests completed so far, oldest first; they are handed out once.
    QList<HttpRequest> takeRequests();

    // Set when the bytes are not HTTP/1.x this parser understands; the connection
    // cannot be read any further.
    bool hasError() const { return m_error; }

private:
    bool parseHead(const QByteArray& head);
    void parseAvailable();

    QByteArray m_buffer;
    HttpRequest m_current;
    qsizetype m_bodyLength = -1; // -1 while the head of the current request is incomplete
    QList<HttpRequest> m_complete;
    bool m_error = false;
};

#pragma once

#include "HttpHeaders.h"

#include <QByteArray>

// One HTTP response before it is written: status, header fields and body. It writes
// its own Content-Length, and leaves the body out where HTTP forbids one.
struct HttpResponse
{
    int status = 200;
    HttpHeaders headers;
    QByteArray body;

    static HttpResponse json(int status, const QByteArray& body);

    // The wire form. For a HEAD request the body is left out but its length is kept.
    QByteArray serialize(bool headRequest) const;

    static QByteArray reasonPhrase(int status);
};

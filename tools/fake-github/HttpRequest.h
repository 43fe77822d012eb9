#pragma once

#include "HttpHeaders.h"

#include <QByteArray>
#include <QString>
#include <QUrlQuery>

// One HTTP request as it came off the wire: the request line taken apart, the header
// fields in order and the body. `connection` numbers the TCP connection it arrived on
// (1 for the server's first), so tests can tell reused connections from new ones.
struct HttpRequest
{
    QByteArray method;
    QByteArray target; // the request target exactly as sent, e.g. "/notifications?all=false&page=1"
    QByteArray version; // "HTTP/1.1"
    QString path; // the target's path, percent-decoded
    QUrlQuery query;
    HttpHeaders headers;
    QByteArray body;
    int connection = 0;

    QByteArray header(const QByteArray& name) const { return headers.value(name); }
    bool hasHeader(const QByteArray& name) const { return headers.contains(name); }
    QString queryValue(const QString& key) const { return query.queryItemValue(key, QUrl::FullyDecoded); }

    // False when the client asked to close the connection after this exchange.
    bool keepAlive() const;
};

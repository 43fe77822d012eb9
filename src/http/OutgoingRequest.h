#pragma once

#include "http/HeaderList.h"

#include <QUrl>

// One HTTP request as the REST clients build it: the transport adds only what HTTP
// itself needs (and the cache its validators).
struct OutgoingRequest
{
    QByteArray method = QByteArrayLiteral("GET");
    QUrl url;
    HeaderList headers;
    QByteArray body;
};

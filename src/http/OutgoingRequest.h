#pragma once

#include "http/HeaderList.h"

#include <QUrl>

// What a request is for. It decides when a waiting request goes out: the user's own
// actions first, then the lists, then the status requests; and only status requests
// wait while GitHub's rate limit runs low.
enum class RequestKind {
    UserAction,
    List,
    Status,
};

// One HTTP request as the REST clients build it: the transport adds only what HTTP
// itself needs (and the cache its validators).
struct OutgoingRequest
{
    QByteArray method = QByteArrayLiteral("GET");
    QUrl url;
    HeaderList headers;
    QByteArray body;
    RequestKind kind = RequestKind::UserAction;
    // A kept reply is asked about again even while fresh: the caller needs the server's
    // state of now (a 304 still costs nothing).
    bool revalidate = false;
};

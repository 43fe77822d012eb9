#pragma once

#include "http/HeaderList.h"

// One complete HTTP reply, whatever its status. A reply revalidated by the cache
// arrives as the stored 200, never as the 304.
struct HttpReply
{
    // 0 when the reply was not an HTTP reply at all.
    int statusCode = 0;
    HeaderList headers;
    QByteArray body;

    friend bool operator==(const HttpReply&, const HttpReply&) = default;
};

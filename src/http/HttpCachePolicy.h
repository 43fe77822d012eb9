#pragma once

#include "http/HeaderList.h"
#include "http/HttpReply.h"
#include "http/OutgoingRequest.h"

#include <QDateTime>

// The rules of a private HTTP cache, as a browser applies them to its own user's
// replies: which replies may be kept, how long a kept reply is fresh, how a stale
// one is revalidated and what a 304 changes. Pure functions; HttpCache stores.
class HttpCachePolicy
{
public:
    // The Cache-Control directives a private cache acts on.
    struct Directives
    {
        bool noStore = false;
        bool noCache = false;
        std::optional<qint64> maxAge;
    };

    static Directives parseCacheControl(const QByteArray& value);

    // Only a successful GET may be kept, unless the server forbids it (no-store,
    // Vary: *), and only when it can be reused: fresh for a while or revalidatable.
    static bool isStorable(const OutgoingRequest& request, const HttpReply& reply);

    // Until when a reply received at `receivedAt` may be served without asking the
    // server: max-age less the Age it already had; no-cache or no max-age: not at all.
    static QDateTime freshUntil(const HeaderList& headers, const QDateTime& receivedAt);

    // The conditional headers that revalidate a stored reply (If-None-Match with its
    // ETag as it was sent, weak or strong; If-Modified-Since with its Last-Modified).
    static HeaderList validators(const HeaderList& stored);

    // The stored reply's headers updated with those of the 304 that confirmed it.
    static HeaderList afterNotModified(const HeaderList& stored, const HeaderList& notModified);
};

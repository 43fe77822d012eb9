#pragma once

#include <QByteArray>
#include <QDateTime>

struct HttpRequest;

// The validators of a GET reply and GitHub's rules for answering 304 Not Modified.
class ConditionalRequest
{
public:
    // A strong (or weak, W/"…") entity tag: the quoted SHA-256 hex digest of the body,
    // so a changed body always gets a new tag.
    static QByteArray entityTag(const QByteArray& body, bool weak);

    // If-None-Match wins when present: a match on any tag of its comma-separated list
    // (weak comparison, "*" matches anything). Otherwise If-Modified-Since, when it is
    // not older than `lastModified` (both at one-second precision).
    static bool isNotModified(const HttpRequest& request, const QByteArray& entityTag, const QDateTime& lastModified);

    // Weak comparison: the opaque tags are equal whether or not either side is W/.
    static bool tagListMatches(const QByteArray& ifNoneMatch, const QByteArray& entityTag);
};

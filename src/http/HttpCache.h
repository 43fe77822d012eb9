#pragma once

#include "core/ThrottledTask.h"
#include "http/HttpReply.h"
#include "http/OutgoingRequest.h"

#include <QDateTime>
#include <QString>

#include <map>
#include <memory>
#include <optional>

class Scheduler;

// The transport's private on-disk cache of GET replies. GitHub's replies vary with
// the Authorization and Accept headers, so every credential (and media type) gets a
// partition of its own, a directory named by a hash of the two values: a reply kept
// for one token is never served for another. Freshness and revalidation follow
// HttpCachePolicy on the injected clock.
//
// A partition holds one file per reply (its headers and its zlib-compressed body,
// readable by the user only) and an index of what it holds, read once when the
// partition is first used and written shortly after changes. The least recently used
// replies go, in one pass, when the partition outgrows its size.
class HttpCache
{
public:
    // Holds the validators and bodies of every status resource of a large account
    // (about 7,000 replies, some 20 MB compressed) with room to spare.
    static constexpr qint64 defaultMaxSize = 100LL * 1000 * 1000;

    // A kept reply: the 200 as the server sent it (headers updated by later 304s).
    struct Entry
    {
        HttpReply reply;
        // The body as it is stored (compressed), so that a 304 keeps it without
        // compressing it again.
        QByteArray storedBody;
    };

    // What the index knows of a kept reply without reading it.
    struct Summary
    {
        QDateTime freshUntil;
        // Its validators let a request ask "changed since?", which GitHub answers with a
        // 304 that costs no rate limit.
        bool revalidatable = false;
    };

    HttpCache(Scheduler& scheduler, QString directory, qint64 maxSize = defaultMaxSize);
    ~HttpCache();
    HttpCache(const HttpCache&) = delete;
    HttpCache& operator=(const HttpCache&) = delete;

    std::optional<Summary> summary(const OutgoingRequest& request);
    std::optional<Entry> find(const OutgoingRequest& request);

    // Keeps `reply` when the policy allows it; a reply the server forbids to keep
    // also drops what was kept for that URL.
    void record(const OutgoingRequest& request, const HttpReply& reply, const QDateTime& receivedAt);

    // The kept reply confirmed by a 304 received at `receivedAt`: stored with the
    // 304's headers and a new freshness, and returned as the 200 it stands for.
    HttpReply confirm(
        const OutgoingRequest& request, const Entry& entry, const HeaderList& notModified, const QDateTime& receivedAt);

    // Writes the indexes changed since they were last written.
    void writeIndexes();

    class Partition;

private:
    Partition& partitionFor(const OutgoingRequest& request);

    QString m_directory;
    qint64 m_maxSize;
    std::map<QByteArray, std::unique_ptr<Partition>> m_partitions;
    ThrottledTask m_indexWrite;
};

#pragma once

#include "http/HttpReply.h"
#include "http/OutgoingRequest.h"

#include <QDateTime>
#include <QString>

#include <map>
#include <memory>

class QNetworkDiskCache;

// The transport's private on-disk cache of GET replies. GitHub's replies vary with
// the Authorization and Accept headers, so every credential (and media type) gets a
// partition of its own, a directory named by a hash of the two values: a reply kept
// for one token is never served for another. Each partition is a QNetworkDiskCache
// used purely as storage; freshness and revalidation follow HttpCachePolicy on the
// injected clock.
class HttpCache
{
public:
    // A kept reply: the 200 as the server sent it (headers updated by later 304s).
    struct Entry
    {
        HttpReply reply;
        QDateTime freshUntil;
    };

    explicit HttpCache(QString directory);
    ~HttpCache();
    HttpCache(const HttpCache&) = delete;
    HttpCache& operator=(const HttpCache&) = delete;

    std::optional<Entry> find(const OutgoingRequest& request);

    // Keeps `reply` when the policy allows it; a reply the server forbids to keep
    // also drops what was kept for that URL.
    void record(const OutgoingRequest& request, const HttpReply& reply, const QDateTime& receivedAt);

    // The kept reply confirmed by a 304 received at `receivedAt`: stored with the
    // 304's headers and a new freshness, and returned as the 200 it stands for.
    HttpReply confirm(
        const OutgoingRequest& request, const Entry& entry, const HeaderList& notModified, const QDateTime& receivedAt);

private:
    QNetworkDiskCache& partitionFor(const OutgoingRequest& request);
    void store(const OutgoingRequest& request, const HttpReply& reply, const QDateTime& freshUntil);

    QString m_directory;
    std::map<QByteArray, std::unique_ptr<QNetworkDiskCache>> m_partitions;
};

#include "http/HttpCache.h"

#include "http/HttpCachePolicy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QNetworkDiskCache>

HttpCache::HttpCache(QString directory)
    : m_directory(std::move(directory))
{ }

HttpCache::~HttpCache() = default;

std::optional<HttpCache::Entry> HttpCache::find(const OutgoingRequest& request)
{
    QNetworkDiskCache& partition = partitionFor(request);
    const QNetworkCacheMetaData metaData = partition.metaData(request.url);
    if (!metaData.isValid())
        return std::nullopt;
    const std::unique_ptr<QIODevice> body(partition.data(request.url));
    if (!body)
        return std::nullopt;
    return Entry {HttpReply {200, HeaderList(metaData.rawHeaders()), body->readAll()}, metaData.expirationDate()};
}

void HttpCache::record(const OutgoingRequest& request, const HttpReply& reply, const QDateTime& receivedAt)
{
    if (HttpCachePolicy::isStorable(request, reply))
        store(request, reply, HttpCachePolicy::freshUntil(reply.headers, receivedAt));
    else if (request.method == "GET" && reply.statusCode == 200)
        partitionFor(request).remove(request.url);
}

HttpReply HttpCache::confirm(
    const OutgoingRequest& request, const Entry& entry, const HeaderList& notModified, const QDateTime& receivedAt)
{
    HttpReply confirmed = entry.reply;
    confirmed.headers = HttpCachePolicy::afterNotModified(entry.reply.headers, notModified);
    store(request, confirmed, HttpCachePolicy::freshUntil(confirmed.headers, receivedAt));
    return confirmed;
}

QNetworkDiskCache& HttpCache::partitionFor(const OutgoingRequest& request)
{
    // GitHub's replies vary with the credential and the media type asked for. A hash,
    // so that the directory name reveals nothing of the token.
    const QByteArray credential = request.headers.value("Authorization").value_or(QByteArray());
    const QByteArray mediaType = request.headers.value("Accept").value_or(QByteArray());
    const QByteArray name = QCryptographicHash::hash(
        QByteArray("tidewhelk-http-cache\n" + credential + '\n' + mediaType), QCryptographicHash::Sha256)
                                .toHex();
    auto found = m_partitions.find(name);
    if (found == m_partitions.end()) {
        // The cache holds private replies: readable only by the user.
        QDir().mkpath(m_directory);
        QFile::setPermissions(m_directory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        auto storage = std::make_unique<QNetworkDiskCache>();
        storage->setCacheDirectory(QDir(m_directory).filePath(QString::fromLatin1(name)));
        found = m_partitions.emplace(name, std::move(storage)).first;
    }
    return *found->second;
}

void HttpCache::store(const OutgoingRequest& request, const HttpReply& reply, const QDateTime& freshUntil)
{
    QNetworkDiskCache& partition = partitionFor(request);
    QNetworkCacheMetaData metaData;
    metaData.setUrl(request.url);
    metaData.setRawHeaders(reply.headers.fields());
    metaData.setExpirationDate(freshUntil);
    metaData.setSaveToDisk(true);
    QIODevice* device = partition.prepare(metaData);
    if (!device)
        return;
    device->write(reply.body);
    partition.insert(device);
}

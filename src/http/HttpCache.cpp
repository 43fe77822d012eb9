#include "http/HttpCache.h"

#include "http/HttpCachePolicy.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTimeZone>

#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace std::chrono_literals;

namespace {

constexpr quint32 kReplyMagic = 0x54574852; // "TWHR"
constexpr quint32 kIndexMagic = 0x54574849; // "TWHI"
constexpr quint32 kFormat = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;
const QString kIndexName = QStringLiteral("index");
// Fast: the bodies are JSON, which shrinks tenfold even so.
constexpr int kCompressionLevel = 1;
// Often enough that a crash loses little; each write is the whole index.
constexpr auto kIndexWriteInterval = 5s;

constexpr QFile::Permissions kOwnerOnlyFile = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions kOwnerOnlyDirectory = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// Written beside the target and renamed over it, so that a reader sees either the old
// or the new file. Not synced: a cache file lost in a crash is fetched again.
bool writeAtomically(const QString& path, const QByteArray& content)
{
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate, kOwnerOnlyFile)
        || file.write(content) != content.size()) {
        file.remove();
        return false;
    }
    file.close();
    return std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) == 0;
}

} // namespace

// One credential's replies: a file per URL and the index of them all.
class HttpCache::Partition
{
public:
    Partition(QString directory, qint64 maxSize)
        : m_directory(std::move(directory))
        , m_maxSize(maxSize)
    { }

    std::optional<Summary> summary(const QByteArray& url)
    {
        load();
        const auto meta = m_index.constFind(url);
        if (meta == m_index.cend())
            return std::nullopt;
        return Summary {meta->freshUntil, meta->revalidatable};
    }

    std::optional<Entry> read(const QByteArray& url)
    {
        load();
        const auto meta = m_index.find(url);
        if (meta == m_index.end())
            return std::nullopt;
        QFile file(filePath(url));
        std::optional<Entry> entry;
        if (file.open(QIODevice::ReadOnly))
            entry = decode(url, file.readAll());
        if (!entry) {
            forget(meta);
            return std::nullopt;
        }
        meta->lastUsed = ++m_clock;
        m_dirty = true;
        return entry;
    }

    void write(
        const QByteArray& url, const HeaderList& headers, const QByteArray& storedBody, const QDateTime& freshUntil)
    {
        load();
        QByteArray content;
        QDataStream stream(&content, QIODevice::WriteOnly);
        stream.setVersion(kStreamVersion);
        stream << kReplyMagic << kFormat << url << quint32(headers.fields().size());
        for (const HeaderList::Field& field : headers.fields())
            stream << field.first << field.second;
        stream << storedBody;
        if (!writeAtomically(filePath(url), content)) {
            remove(url);
            return;
        }
        Meta& meta = m_index[url];
        m_size += content.size() - meta.size;
        meta = Meta {freshUntil, ++m_clock, content.size(), !HttpCachePolicy::validators(headers).fields().isEmpty()};
        m_dirty = true;
        if (m_size > m_maxSize)
            evict();
    }

    void remove(const QByteArray& url)
    {
        load();
        const auto meta = m_index.find(url);
        if (meta != m_index.end())
            forget(meta);
    }

    void writeIndex()
    {
        if (!m_dirty)
            return;
        QByteArray content;
        QDataStream stream(&content, QIODevice::WriteOnly);
        stream.setVersion(kStreamVersion);
        stream << kIndexMagic << kFormat << m_clock << quint32(m_index.size());
        for (auto meta = m_index.cbegin(); meta != m_index.cend(); ++meta) {
            stream << meta.key() << meta->freshUntil.toMSecsSinceEpoch() << meta->lastUsed << meta->size
                   << meta->revalidatable;
        }
        if (writeAtomically(QDir(m_directory).filePath(kIndexName), content))
            m_dirty = false;
    }

private:
    struct Meta
    {
        QDateTime freshUntil;
        quint64 lastUsed = 0;
        qint64 size = 0;
        bool revalidatable = false;
    };

    QString filePath(const QByteArray& url) const
    {
        return QDir(m_directory)
            .filePath(QString::fromLatin1(QCryptographicHash::hash(url, QCryptographicHash::Sha1).toHex()));
    }

    static std::optional<Entry> decode(const QByteArray& url, const QByteArray& content)
    {
        QDataStream stream(content);
        stream.setVersion(kStreamVersion);
        quint32 magic = 0;
        quint32 format = 0;
        QByteArray storedUrl;
        quint32 headerCount = 0;
        stream >> magic >> format >> storedUrl >> headerCount;
        // Two URLs whose hashes collide, or a file cut short, read as nothing kept.
        if (stream.status() != QDataStream::Ok || magic != kReplyMagic || format != kFormat || storedUrl != url)
            return std::nullopt;
        QList<HeaderList::Field> fields;
        for (quint32 i = 0; i < headerCount && stream.status() == QDataStream::Ok; ++i) {
            HeaderList::Field field;
            stream >> field.first >> field.second;
            fields.append(std::move(field));
        }
        Entry entry;
        stream >> entry.storedBody;
        if (stream.status() != QDataStream::Ok)
            return std::nullopt;
        entry.reply = HttpReply {200, HeaderList(std::move(fields)), qUncompress(entry.storedBody)};
        if (entry.reply.body.isNull() && !entry.storedBody.isEmpty())
            return std::nullopt;
        return entry;
    }

    void forget(QHash<QByteArray, Meta>::iterator meta)
    {
        QFile::remove(filePath(meta.key()));
        m_size -= meta->size;
        m_index.erase(meta);
        m_dirty = true;
    }

    // Drops the least recently used replies, in one pass, down to nine tenths of the
    // size, so that the next few writes do not evict again.
    void evict()
    {
        std::vector<std::pair<quint64, QByteArray>> byUse;
        byUse.reserve(m_index.size());
        for (auto meta = m_index.cbegin(); meta != m_index.cend(); ++meta)
            byUse.emplace_back(meta->lastUsed, meta.key());
        std::sort(byUse.begin(), byUse.end());
        const qint64 target = m_maxSize / 10 * 9;
        for (const auto& [lastUsed, url] : byUse) {
            if (m_size <= target)
                break;
            forget(m_index.find(url));
        }
    }

    // Reads the index once, and removes every file it does not name: replies written
    // after the last index write of a process that crashed, and whatever an older
    // layout of the cache left there.
    void load()
    {
        if (std::exchange(m_loaded, true))
            return;
        QDir().mkpath(m_directory);
        QFile::setPermissions(m_directory, kOwnerOnlyDirectory);
        QFile file(QDir(m_directory).filePath(kIndexName));
        if (file.open(QIODevice::ReadOnly)) {
            QDataStream stream(&file);
            stream.setVersion(kStreamVersion);
            quint32 magic = 0;
            quint32 format = 0;
            quint32 count = 0;
            stream >> magic >> format >> m_clock >> count;
            if (magic == kIndexMagic && format == kFormat) {
                m_index.reserve(count);
                for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
                    QByteArray url;
                    qint64 freshUntil = 0;
                    Meta meta;
                    stream >> url >> freshUntil >> meta.lastUsed >> meta.size >> meta.revalidatable;
                    meta.freshUntil = QDateTime::fromMSecsSinceEpoch(freshUntil, QTimeZone::utc());
                    if (stream.status() == QDataStream::Ok) {
                        m_size += meta.size;
                        m_index.insert(url, meta);
                    }
                }
            }
        }
        QSet<QString> named {kIndexName};
        for (auto meta = m_index.cbegin(); meta != m_index.cend(); ++meta)
            named.insert(QFileInfo(filePath(meta.key())).fileName());
        const QDir directory(m_directory);
        for (const QFileInfo& found : directory.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (named.contains(found.fileName()))
                continue;
            if (found.isDir())
                QDir(found.filePath()).removeRecursively();
            else
                QFile::remove(found.filePath());
        }
    }

    QString m_directory;
    qint64 m_maxSize;
    QHash<QByteArray, Meta> m_index;
    quint64 m_clock = 0;
    qint64 m_size = 0;
    bool m_loaded = false;
    bool m_dirty = false;
};

HttpCache::HttpCache(Scheduler& scheduler, QString directory, qint64 maxSize)
    : m_directory(std::move(directory))
    , m_maxSize(maxSize)
    , m_indexWrite(scheduler, kIndexWriteInterval, [this] { writeIndexes(); })
{ }

HttpCache::~HttpCache()
{
    writeIndexes();
}

std::optional<HttpCache::Summary> HttpCache::summary(const OutgoingRequest& request)
{
    return partitionFor(request).summary(request.url.toEncoded());
}

std::optional<HttpCache::Entry> HttpCache::find(const OutgoingRequest& request)
{
    std::optional<Entry> entry = partitionFor(request).read(request.url.toEncoded());
    if (entry)
        m_indexWrite.request();
    return entry;
}

void HttpCache::record(const OutgoingRequest& request, const HttpReply& reply, const QDateTime& receivedAt)
{
    if (HttpCachePolicy::isStorable(request, reply)) {
        partitionFor(request).write(request.url.toEncoded(), reply.headers, qCompress(reply.body, kCompressionLevel),
            HttpCachePolicy::freshUntil(reply.headers, receivedAt));
    } else if (request.method == "GET" && reply.statusCode == 200) {
        partitionFor(request).remove(request.url.toEncoded());
    } else {
        return;
    }
    m_indexWrite.request();
}

HttpReply HttpCache::confirm(
    const OutgoingRequest& request, const Entry& entry, const HeaderList& notModified, const QDateTime& receivedAt)
{
    HttpReply confirmed = entry.reply;
    confirmed.headers = HttpCachePolicy::afterNotModified(entry.reply.headers, notModified);
    partitionFor(request).write(request.url.toEncoded(), confirmed.headers, entry.storedBody,
        HttpCachePolicy::freshUntil(confirmed.headers, receivedAt));
    m_indexWrite.request();
    return confirmed;
}

void HttpCache::writeIndexes()
{
    for (const auto& [name, partition] : m_partitions)
        partition->writeIndex();
}

HttpCache::Partition& HttpCache::partitionFor(const OutgoingRequest& request)
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
        QFile::setPermissions(m_directory, kOwnerOnlyDirectory);
        found = m_partitions
                    .emplace(name,
                        std::make_unique<Partition>(QDir(m_directory).filePath(QString::fromLatin1(name)), m_maxSize))
                    .first;
    }
    return *found->second;
}

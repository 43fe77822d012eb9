#include "storage/PreferenceSnapshot.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace {

constexpr quint32 kMagic = 0x54575350;
// Changes whenever the layout of the content or of a compact form changes.
constexpr quint32 kFormat = 2;
constexpr qsizetype kHeaderSize = 4 + 4 + 8;

void prepare(QDataStream& stream)
{
    stream.setVersion(QDataStream::Qt_6_4);
    stream.setByteOrder(QDataStream::LittleEndian);
}

// FNV-1a over 64-bit words: fast enough to run over megabytes at each start, and each
// step is a bijection, so a change in any one word always changes the sum. (Qt's own
// hashes are seeded afresh in every process.)
quint64 checksumOf(const QByteArray& payload)
{
    constexpr quint64 kPrime = 0x100000001b3;
    quint64 sum = 0xcbf29ce484222325 ^ static_cast<quint64>(payload.size());
    const char* data = payload.constData();
    const qsizetype words = payload.size() / 8;
    for (qsizetype i = 0; i < words; ++i) {
        quint64 word = 0;
        std::memcpy(&word, data + i * 8, 8);
        sum = (sum ^ word) * kPrime;
    }
    for (qsizetype i = words * 8; i < payload.size(); ++i)
        sum = (sum ^ static_cast<quint8>(data[i])) * kPrime;
    return sum;
}

QDataStream& operator<<(QDataStream& stream, const FileStamp& stamp)
{
    return stream << stamp.size << stamp.modifiedNanoseconds << stamp.inode;
}

QDataStream& operator>>(QDataStream& stream, FileStamp& stamp)
{
    return stream >> stamp.size >> stamp.modifiedNanoseconds >> stamp.inode;
}

} // namespace

QString PreferenceSnapshot::pathFor(const QString& preferencesPath)
{
    const QFileInfo file(preferencesPath);
    return file.path() + u'/' + file.completeBaseName() + QStringLiteral(".snapshot");
}

std::variant<PreferenceSnapshot::Content, PreferenceSnapshot::Problem> PreferenceSnapshot::read(
    const QString& path, const FileStamp& preferences)
{
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return Problem::Missing;
    // Mapped rather than read: the pages come from the page cache as they are touched,
    // without megabytes of fresh memory to fault in.
    const qint64 size = file->size();
    const uchar* mapped = size > 0 ? file->map(0, size) : nullptr;
    const QByteArray bytes
        = mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size) : file->readAll();
    QDataStream header(bytes);
    prepare(header);
    quint32 magic = 0;
    quint32 format = 0;
    quint64 checksum = 0;
    header >> magic >> format >> checksum;
    if (header.status() != QDataStream::Ok || magic != kMagic)
        return Problem::Damaged;
    if (format != kFormat)
        return Problem::OtherVersion;
    const QByteArray payload = QByteArray::fromRawData(bytes.constData() + kHeaderSize, bytes.size() - kHeaderSize);
    if (checksumOf(payload) != checksum)
        return Problem::Damaged;
    QDataStream stream(payload);
    prepare(stream);
    FileStamp stamp;
    Content content;
    quint32 formCount = 0;
    stream >> stamp >> content.values >> formCount;
    // The forms' keys and sizes, then their bytes one after the other.
    QList<std::pair<QString, qint64>> forms;
    for (quint32 i = 0; i < formCount && stream.status() == QDataStream::Ok; ++i) {
        std::pair<QString, qint64> form;
        stream >> form.first >> form.second;
        forms.append(form);
    }
    if (stream.status() != QDataStream::Ok)
        return Problem::Damaged;
    qint64 offset = stream.device()->pos();
    for (const auto& [key, formSize] : forms) {
        if (formSize < 0 || formSize > payload.size() - offset)
            return Problem::Damaged;
        content.compactForms.insert(key, QByteArray::fromRawData(payload.constData() + offset, formSize));
        offset += formSize;
    }
    if (offset != payload.size())
        return Problem::Damaged;
    if (stamp != preferences)
        return Problem::Stale;
    content.bytes = bytes;
    if (mapped)
        content.mapping = std::move(file);
    return content;
}

bool PreferenceSnapshot::write(const QString& path, const FileStamp& preferences, const Content& content)
{
    QByteArray payload;
    {
        QDataStream stream(&payload, QIODevice::WriteOnly);
        prepare(stream);
        stream << preferences << content.values << static_cast<quint32>(content.compactForms.size());
        for (auto form = content.compactForms.cbegin(); form != content.compactForms.cend(); ++form)
            stream << form.key() << static_cast<qint64>(form->size());
    }
    for (const QByteArray& form : content.compactForms)
        payload.append(form);
    QByteArray header;
    {
        QDataStream stream(&header, QIODevice::WriteOnly);
        prepare(stream);
        stream << kMagic << kFormat << checksumOf(payload);
    }
    // Always replaced through a rename, never rewritten in place, so that a mapping of
    // the old snapshot stays whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(header);
    file.write(payload);
    return file.commit();
}

QString PreferenceSnapshot::problemText(Problem problem)
{
    switch (problem) {
    case Problem::Missing:
        return QStringLiteral("⚠️ No cache snapshot: reading the caches from the preference file");
    case Problem::Damaged:
        return QStringLiteral("⚠️ Cache snapshot damaged: reading the caches from the preference file");
    case Problem::Stale:
        return QStringLiteral("⚠️ Cache snapshot out of date: reading the caches from the preference file");
    case Problem::OtherVersion:
        return QStringLiteral("⚠️ Cache snapshot of another version: reading the caches from the preference file");
    }
    Q_UNREACHABLE();
}

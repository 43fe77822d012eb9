#include "storage/CompactRecords.h"

#include <QDataStream>
#include <QHash>
#include <QIODevice>

namespace {

constexpr quint8 kNotifications = 'N';
// An absent optional text among the shared ones.
constexpr qint32 kAbsent = -1;

QDataStream& operator<<(QDataStream& stream, const std::optional<QString>& value)
{
    stream << value.has_value();
    if (value)
        stream << *value;
    return stream;
}

QDataStream& operator>>(QDataStream& stream, std::optional<QString>& value)
{
    bool present = false;
    stream >> present;
    if (!present) {
        value.reset();
        return stream;
    }
    QString text;
    stream >> text;
    value = std::move(text);
    return stream;
}

void prepare(QDataStream& stream)
{
    stream.setVersion(QDataStream::Qt_6_4);
    // UTF-16 strings of this byte order are copied, not swapped.
    stream.setByteOrder(QDataStream::LittleEndian);
}

// The texts that few distinct values fill (kinds, states, repositories, reasons), each
// written once: the records name them by index and share one string each when read.
class SharedTexts
{
public:
    qint32 indexOf(const std::optional<QString>& text)
    {
        if (!text)
            return kAbsent;
        const auto known = m_indexes.constFind(*text);
        if (known != m_indexes.cend())
            return *known;
        const auto index = static_cast<qint32>(m_texts.size());
        m_indexes.insert(*text, index);
        m_texts.append(*text);
        return index;
    }
    const QList<QString>& texts() const { return m_texts; }

private:
    QHash<QString, qint32> m_indexes;
    QList<QString> m_texts;
};

// The text at `index` of `texts`; false when the index names none.
bool sharedText(const QList<QString>& texts, qint32 index, std::optional<QString>& text)
{
    if (index == kAbsent) {
        text.reset();
        return true;
    }
    if (index < 0 || index >= texts.size())
        return false;
    text = texts.at(index);
    return true;
}

} // namespace

namespace CompactRecords {

QByteArray encode(const QList<NotificationPtr>& notifications)
{
    SharedTexts shared;
    QByteArray records;
    {
        QDataStream stream(&records, QIODevice::WriteOnly);
        prepare(stream);
        for (const NotificationPtr& notification : notifications) {
            const Subject& subject = notification->subject();
            stream << notification->id() << subject.title() << shared.indexOf(subject.type()) << subject.url()
                   << shared.indexOf(subject.state()) << shared.indexOf(subject.ciStatus())
                   << shared.indexOf(subject.reviewStatus()) << shared.indexOf(notification->repository().fullName())
                   << shared.indexOf(notification->reason()) << notification->updatedAt();
        }
    }
    QByteArray form;
    QDataStream stream(&form, QIODevice::WriteOnly);
    prepare(stream);
    stream << kNotifications << shared.texts() << static_cast<qint64>(notifications.size());
    stream.writeRawData(records.constData(), static_cast<int>(records.size()));
    return form;
}

std::optional<QList<NotificationPtr>> decodeNotifications(const QByteArray& form)
{
    QDataStream stream(form);
    prepare(stream);
    quint8 kind = 0;
    QList<QString> texts;
    qint64 count = 0;
    stream >> kind;
    if (stream.status() != QDataStream::Ok || kind != kNotifications)
        return std::nullopt;
    stream >> texts >> count;
    // Each record takes more than a byte: a larger count is damage, not a list.
    if (stream.status() != QDataStream::Ok || count < 0 || count > form.size())
        return std::nullopt;
    QList<NotificationPtr> notifications;
    notifications.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        QString id;
        QString title;
        qint32 typeIndex = 0;
        std::optional<QString> url;
        qint32 stateIndex = 0;
        qint32 ciStatusIndex = 0;
        qint32 reviewStatusIndex = 0;
        qint32 fullNameIndex = 0;
        qint32 reasonIndex = 0;
        QString updatedAt;
        stream >> id >> title >> typeIndex >> url >> stateIndex >> ciStatusIndex >> reviewStatusIndex >> fullNameIndex
            >> reasonIndex >> updatedAt;
        std::optional<QString> type;
        std::optional<QString> state;
        std::optional<QString> ciStatus;
        std::optional<QString> reviewStatus;
        std::optional<QString> fullName;
        std::optional<QString> reason;
        if (stream.status() != QDataStream::Ok || !sharedText(texts, typeIndex, type) || !type
            || !sharedText(texts, stateIndex, state) || !sharedText(texts, ciStatusIndex, ciStatus)
            || !sharedText(texts, reviewStatusIndex, reviewStatus) || !sharedText(texts, fullNameIndex, fullName)
            || !fullName || !sharedText(texts, reasonIndex, reason))
            return std::nullopt;
        Subject subject(std::move(title), std::move(*type), std::move(url));
        subject.setState(state);
        subject.setCiStatus(ciStatus);
        subject.setReviewStatus(reviewStatus);
        notifications.append(std::make_shared<Notification>(std::move(id), std::move(subject),
            Repository(std::move(*fullName)), std::move(reason), std::move(updatedAt)));
    }
    if (!stream.atEnd())
        return std::nullopt;
    return notifications;
}

} // namespace CompactRecords

#pragma once

#include "github/JsonDecoder.h"
#include "github/Repository.h"
#include "github/Subject.h"

#include <QList>

#include <memory>

class Notification;

// Threads are shared: the notifications list, the favourites and the cache hold the
// same records, and the status refresh changes a record's subject in place.
using NotificationPtr = std::shared_ptr<Notification>;

// One GitHub notification thread. Its identity is the id string. The same JSON form
// serves the server's reply and the cached list.
class Notification
{
public:
    Notification(QString id, Subject subject, Repository repository, std::optional<QString> reason, QString updatedAt);

    const QString& id() const { return m_id; }
    const Subject& subject() const { return m_subject; }
    Subject& subject() { return m_subject; }
    const Repository& repository() const { return m_repository; }
    const std::optional<QString>& reason() const { return m_reason; }
    // The server's ISO 8601 text, kept as received.
    const QString& updatedAt() const { return m_updatedAt; }
    // The server's read flag, as the reply carried it; none for a record read from the
    // cache, which does not keep it.
    std::optional<bool> unread() const { return m_unread; }
    void setUnread(std::optional<bool> unread) { m_unread = unread; }

    // Throws DecodingError (see JsonValueReader).
    static NotificationPtr fromJson(const JsonValueReader& value);
    QJsonObject toJson() const;

    // A JSON array of threads: the server's reply or the cache. One bad thread fails the whole list.
    static Decoded<QList<NotificationPtr>> decodeList(const QByteArray& json);
    // Compact JSON, in list order.
    static QByteArray encodeList(const QList<NotificationPtr>& notifications);

private:
    QString m_id;
    Subject m_subject;
    Repository m_repository;
    std::optional<QString> m_reason;
    QString m_updatedAt;
    std::optional<bool> m_unread;
};

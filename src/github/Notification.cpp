#include "github/Notification.h"

#include "github/JsonObjectReader.h"

#include <QJsonArray>
#include <QJsonDocument>

Notification::Notification(
    QString id, Subject subject, Repository repository, std::optional<QString> reason, QString updatedAt)
    : m_id(std::move(id))
    , m_subject(std::move(subject))
    , m_repository(std::move(repository))
    , m_reason(std::move(reason))
    , m_updatedAt(std::move(updatedAt))
{ }

NotificationPtr Notification::fromJson(const JsonValueReader& value)
{
    // Fields are read in declaration order so that the first fault reported is stable.
    const JsonObjectReader object = value.toObject(QLatin1String("Notification"));
    QString id = object.string(QLatin1String("id"));
    Subject subject = Subject::fromJson(object.required(QLatin1String("subject")).toObject(QLatin1String("Subject")));
    Repository repository
        = Repository::fromJson(object.required(QLatin1String("repository")).toObject(QLatin1String("Repository")));
    std::optional<QString> reason = object.optionalString(QLatin1String("reason"));
    QString updatedAt = object.string(QLatin1String("updated_at"));
    auto notification = std::make_shared<Notification>(
        std::move(id), std::move(subject), std::move(repository), std::move(reason), std::move(updatedAt));
    // Not part of the record's JSON form: a flag of another type is ignored, not an error.
    if (const std::optional<JsonValueReader> unread = object.optional(QLatin1String("unread"));
        unread && unread->isBool())
        notification->setUnread(unread->toBool());
    return notification;
}

QJsonObject Notification::toJson() const
{
    QJsonObject object {
        {QLatin1String("id"), m_id},
        {QLatin1String("subject"), m_subject.toJson()},
        {QLatin1String("repository"), m_repository.toJson()},
        {QLatin1String("updated_at"), m_updatedAt},
    };
    if (m_reason)
        object.insert(QLatin1String("reason"), *m_reason);
    return object;
}

Decoded<QList<NotificationPtr>> Notification::decodeList(const QByteArray& json)
{
    return JsonDecoder::decodeList(json, &Notification::fromJson);
}

QByteArray Notification::encodeList(const QList<NotificationPtr>& notifications)
{
    QJsonArray array;
    for (const NotificationPtr& notification : notifications)
        array.append(notification->toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

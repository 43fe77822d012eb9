#pragma once

#include <QJsonObject>
#include <QString>

class JsonObjectReader;

// The repository of a notification thread (and of an assigned issue): its
// "owner/name". The server's reply carries many more fields; only this one is kept.
class Repository
{
public:
    explicit Repository(QString fullName);

    const QString& fullName() const { return m_fullName; }

    // Throws DecodingError (see JsonValueReader).
    static Repository fromJson(const JsonObjectReader& object);
    QJsonObject toJson() const;

    friend bool operator==(const Repository&, const Repository&) = default;

private:
    QString m_fullName;
};

#include "github/Repository.h"

#include "github/JsonObjectReader.h"

Repository::Repository(QString fullName)
    : m_fullName(std::move(fullName))
{ }

Repository Repository::fromJson(const JsonObjectReader& object)
{
    return Repository(object.string(QLatin1String("full_name")));
}

QJsonObject Repository::toJson() const
{
    return QJsonObject {{QLatin1String("full_name"), m_fullName}};
}

#include "github/Subject.h"

#include "github/JsonObjectReader.h"
#include "github/JsonWriting.h"

Subject::Subject(QString title, QString type, std::optional<QString> url)
    : m_title(std::move(title))
    , m_type(std::move(type))
    , m_url(std::move(url))
{ }

Subject Subject::fromJson(const JsonObjectReader& object)
{
    QString title = object.string(QLatin1String("title"));
    QString type = object.string(QLatin1String("type"));
    Subject subject(std::move(title), std::move(type), object.optionalString(QLatin1String("url")));
    subject.m_state = object.optionalString(QLatin1String("state"));
    subject.m_ciStatus = object.optionalString(QLatin1String("ciStatus"));
    subject.m_reviewStatus = object.optionalString(QLatin1String("reviewStatus"));
    return subject;
}

QJsonObject Subject::toJson() const
{
    QJsonObject object {{QLatin1String("title"), m_title}, {QLatin1String("type"), m_type}};
    insertIfPresent(object, QLatin1String("url"), m_url);
    insertIfPresent(object, QLatin1String("state"), m_state);
    insertIfPresent(object, QLatin1String("ciStatus"), m_ciStatus);
    insertIfPresent(object, QLatin1String("reviewStatus"), m_reviewStatus);
    return object;
}

#include "github/JsonObjectReader.h"

JsonObjectReader::JsonObjectReader(QJsonObject object, std::shared_ptr<const detail::JsonPathStep> step)
    : m_object(std::move(object))
    , m_step(std::move(step))
{ }

JsonValueReader JsonObjectReader::required(QLatin1String key) const
{
    const auto found = m_object.constFind(key);
    if (found == m_object.constEnd())
        throw DecodingError::keyNotFound(QString(key), codingPath(),
            QStringLiteral("No value associated with key \"") + key + QStringLiteral("\"."));
    return JsonValueReader(*found, m_step, key);
}

std::optional<JsonValueReader> JsonObjectReader::optional(QLatin1String key) const
{
    const auto found = m_object.constFind(key);
    if (found == m_object.constEnd() || found->isNull())
        return std::nullopt;
    return JsonValueReader(*found, m_step, key);
}

std::optional<QString> JsonObjectReader::optionalString(QLatin1String key) const
{
    const auto value = optional(key);
    return value ? std::optional(value->toString()) : std::nullopt;
}

std::optional<qint64> JsonObjectReader::optionalInt64(QLatin1String key) const
{
    const auto value = optional(key);
    return value ? std::optional(value->toInt64()) : std::nullopt;
}

std::optional<bool> JsonObjectReader::optionalBoolean(QLatin1String key) const
{
    const auto value = optional(key);
    return value ? std::optional(value->toBool()) : std::nullopt;
}

DecodingError::CodingPath JsonObjectReader::codingPath() const
{
    return detail::codingPathTo(m_step.get());
}

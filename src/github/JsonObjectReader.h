#pragma once

#include "github/JsonValueReader.h"

#include <QJsonObject>

// A JSON object being read as a record: required and optional fields by key. Keys
// the record does not ask for are ignored. A required key that is missing throws
// keyNotFound; an optional one that is absent or null gives no value.
class JsonObjectReader
{
public:
    JsonObjectReader(QJsonObject object, std::shared_ptr<const detail::JsonPathStep> step);

    JsonValueReader required(QLatin1String key) const;
    std::optional<JsonValueReader> optional(QLatin1String key) const;

    QString string(QLatin1String key) const { return required(key).toString(); }
    qint64 int64(QLatin1String key) const { return required(key).toInt64(); }
    bool boolean(QLatin1String key) const { return required(key).toBool(); }
    std::optional<QString> optionalString(QLatin1String key) const;
    std::optional<qint64> optionalInt64(QLatin1String key) const;
    std::optional<bool> optionalBoolean(QLatin1String key) const;

private:
    DecodingError::CodingPath codingPath() const;

    QJsonObject m_object;
    std::shared_ptr<const detail::JsonPathStep> m_step;
};

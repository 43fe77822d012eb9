#pragma once

#include <QJsonObject>
#include <QLatin1String>
#include <QString>

#include <optional>

// The records' cache form writes an optional field only when it has a value, so that
// reading it back gives no value again.
inline void insertIfPresent(QJsonObject& object, QLatin1String key, const std::optional<QString>& value)
{
    if (value)
        object.insert(key, *value);
}

#include "github/JsonValueReader.h"

#include "github/JsonObjectReader.h"

#include <QJsonObject>

#include <cmath>
#include <limits>

namespace {

QString foundText(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

} // namespace

DecodingError::CodingKey detail::codingKey(const JsonPathStep::Key& key)
{
    if (const auto* name = std::get_if<QLatin1String>(&key))
        return QString(*name);
    return std::get<qsizetype>(key);
}

DecodingError::CodingPath detail::codingPathTo(const JsonPathStep* step)
{
    DecodingError::CodingPath path;
    for (; step; step = step->container.get())
        path.prepend(codingKey(step->key));
    return path;
}

JsonValueReader::JsonValueReader(QJsonValue value)
    : m_value(std::move(value))
{ }

JsonValueReader::JsonValueReader(QJsonValue value, std::shared_ptr<const detail::JsonPathStep> container, Key key)
    : m_value(std::move(value))
    , m_container(std::move(container))
    , m_key(key)
{ }

QString JsonValueReader::toString() const
{
    if (!m_value.isString())
        throwUnexpected(QStringLiteral("String"));
    return m_value.toString();
}

qint64 JsonValueReader::toInt64() const
{
    if (!m_value.isDouble())
        throwUnexpected(QStringLiteral("Int64"));
    // Qt keeps integers that fit in 64 bits exact; anything else arrives as a double.
    constexpr qint64 sentinel = std::numeric_limits<qint64>::min();
    const qint64 integer = m_value.toInteger(sentinel);
    if (integer == sentinel && m_value.toDouble() != static_cast<double>(sentinel))
        throwDataCorrupted(QStringLiteral("Parsed JSON number ") + QString::number(m_value.toDouble(), 'g', 17)
            + QStringLiteral(" does not fit in Int64."));
    return integer;
}

bool JsonValueReader::toBool() const
{
    if (!m_value.isBool())
        throwUnexpected(QStringLiteral("Bool"));
    return m_value.toBool();
}

JsonObjectReader JsonValueReader::toObject(QLatin1String typeName) const
{
    if (!m_value.isObject())
        throwUnexpected(typeName);
    return JsonObjectReader(m_value.toObject(), ownStep());
}

QJsonArray JsonValueReader::arrayValue() const
{
    if (!m_value.isArray())
        throwUnexpected(QStringLiteral("Array"));
    return m_value.toArray();
}

DecodingError::CodingPath JsonValueReader::codingPath() const
{
    DecodingError::CodingPath path = detail::codingPathTo(m_container.get());
    if (m_key)
        path.append(detail::codingKey(*m_key));
    return path;
}

void JsonValueReader::throwDataCorrupted(const QString& context) const
{
    throw DecodingError::dataCorrupted(codingPath(), context);
}

void JsonValueReader::throwUnexpected(const QString& typeName) const
{
    if (m_value.isNull())
        throw DecodingError::valueNotFound(typeName, codingPath(),
            QStringLiteral("Expected ") + typeName + QStringLiteral(" value but found null instead."));
    throw DecodingError::typeMismatch(typeName, codingPath(),
        QStringLiteral("Expected to decode ") + typeName + QStringLiteral(" but found ") + foundText(m_value)
            + QStringLiteral(" instead."));
}

std::shared_ptr<const detail::JsonPathStep> JsonValueReader::ownStep() const
{
    if (!m_key)
        return nullptr;
    return std::make_shared<const detail::JsonPathStep>(detail::JsonPathStep {m_container, *m_key});
}

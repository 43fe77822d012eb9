#pragma once

#include "github/DecodingError.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QLatin1String>
#include <QList>

#include <memory>
#include <optional>
#include <type_traits>

class JsonObjectReader;

namespace detail {

// One step of a coding path, shared by every value below it. Keys are the string
// literals of the record readers, so a step costs no string copy.
struct JsonPathStep
{
    using Key = std::variant<QLatin1String, qsizetype>;

    std::shared_ptr<const JsonPathStep> container;
    Key key;
};

// The coding path from the top of the document down to `step` (empty for the top).
DecodingError::CodingPath codingPathTo(const JsonPathStep* step);
DecodingError::CodingKey codingKey(const JsonPathStep::Key& key);

} // namespace detail

// One value of a parsed JSON document, with the coding path that leads to it. The
// record readers (Notification, Issue…) read their fields through it; every read
// that finds something else than asked for throws a DecodingError naming the path.
// Only JsonDecoder::decode catches it, so a document is read whole or not at all.
class JsonValueReader
{
public:
    using Key = detail::JsonPathStep::Key;

    // The top value of a document.
    explicit JsonValueReader(QJsonValue value);
    // The value under `key` of the container whose step is `container` (null for the top).
    JsonValueReader(QJsonValue value, std::shared_ptr<const detail::JsonPathStep> container, Key key);

    bool isNull() const { return m_value.isNull(); }
    bool isBool() const { return m_value.isBool(); }

    QString toString() const;
    // Integers of any size GitHub uses (ids beyond 2^32); fractions and numbers
    // beyond 64 bits are rejected, not rounded.
    qint64 toInt64() const;
    bool toBool() const;
    // `typeName` is the record's name, used in the diagnostics.
    JsonObjectReader toObject(QLatin1String typeName) const;

    // Reads a JSON array element by element with `readElement(const JsonValueReader&)`.
    template <typename ReadElement>
    auto toList(ReadElement readElement) const -> QList<std::invoke_result_t<ReadElement, const JsonValueReader&>>
    {
        const QJsonArray array = arrayValue();
        const std::shared_ptr<const detail::JsonPathStep> step = ownStep();
        QList<std::invoke_result_t<ReadElement, const JsonValueReader&>> result;
        result.reserve(array.size());
        for (qsizetype i = 0; i < array.size(); ++i)
            result.append(readElement(JsonValueReader(array.at(i), step, i)));
        return result;
    }

    DecodingError::CodingPath codingPath() const;

    [[noreturn]] void throwDataCorrupted(const QString& context) const;

private:
    QJsonArray arrayValue() const;
    // Throws typeMismatch or, for null, valueNotFound.
    [[noreturn]] void throwUnexpected(const QString& typeName) const;
    // The step that values inside this one hang from.
    std::shared_ptr<const detail::JsonPathStep> ownStep() const;

    QJsonValue m_value;
    std::shared_ptr<const detail::JsonPathStep> m_container;
    std::optional<Key> m_key;
};

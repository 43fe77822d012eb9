#pragma once

#include "github/JsonDecoder.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <memory>
#include <type_traits>

// GitHub's own payloads under tests/data/github-examples, and the JSON helpers the
// tests build their replies and records with.
namespace TestData {

// The bytes of an example, by its path below github-examples; a missing one is fatal.
QByteArray example(const QString& relativePath);

// The compact JSON text of an array or object.
QByteArray compact(const QJsonArray& array);
QByteArray compact(const QJsonObject& object);

// The decoded value; a decoding error is fatal.
template <typename T>
T decodedOrFatal(Decoded<T> result)
{
    if (const auto* error = std::get_if<DecodingError>(&result))
        qFatal("unexpected decoding error %s", qPrintable(error->description()));
    return std::get<T>(std::move(result));
}

// The ids of shared records (threads, issues), in list order.
template <typename Record>
auto ids(const QList<std::shared_ptr<Record>>& records)
{
    QList<std::decay_t<decltype(records.first()->id())>> result;
    for (const auto& record : records)
        result << record->id();
    return result;
}

} // namespace TestData

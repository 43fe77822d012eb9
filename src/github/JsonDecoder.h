#pragma once

#include "github/DecodingError.h"
#include "github/JsonValueReader.h"

#include <QByteArray>

#include <type_traits>
#include <variant>

// A decoded value, or why the bytes could not be decoded.
template <typename T>
using Decoded = std::variant<T, DecodingError>;

// Parses JSON bytes and reads them as typed records. Every failure — bytes that are
// not JSON (empty, HTML, truncated, not UTF-8, nested too deep) or JSON of the wrong
// shape — comes back as a DecodingError; no part of a failed document is returned.
class JsonDecoder
{
public:
    // `read(const JsonValueReader&)` reads the top value and may throw DecodingError.
    template <typename Read>
    static auto decode(const QByteArray& bytes, Read read)
        -> Decoded<std::invoke_result_t<Read, const JsonValueReader&>>
    {
        Decoded<QJsonValue> top = parse(bytes);
        if (auto* error = std::get_if<DecodingError>(&top))
            return std::move(*error);
        try {
            return read(JsonValueReader(std::get<QJsonValue>(std::move(top))));
        } catch (const DecodingError& error) {
            return error;
        }
    }

    // A top-level array whose every element `read` reads.
    template <typename T>
    static Decoded<QList<T>> decodeList(const QByteArray& bytes, T (*read)(const JsonValueReader&))
    {
        return decode(bytes, [read](const JsonValueReader& top) { return top.toList(read); });
    }

    static Decoded<QJsonValue> parse(const QByteArray& bytes);
};

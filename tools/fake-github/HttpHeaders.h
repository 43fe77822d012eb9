#pragma once

#include <QByteArray>
#include <QList>

#include <initializer_list>
#include <utility>

// The header fields of one HTTP message, in wire order. Names keep the case they were
// written with; lookups ignore case, as HTTP requires.
class HttpHeaders
{
public:
    using Field = std::pair<QByteArray, QByteArray>;

    HttpHeaders() = default;
    HttpHeaders(std::initializer_list<Field> fields);

    void add(const QByteArray& name, const QByteArray& value);
    // Replaces every field of that name by one field (appended when there was none).
    void set(const QByteArray& name, const QByteArray& value);
    void remove(const QByteArray& name);

    bool contains(const QByteArray& name) const;
    // The value of the first field of that name; a null array when there is none.
    QByteArray value(const QByteArray& name) const;

    const QList<Field>& fields() const { return m_fields; }

private:
    QList<Field> m_fields;
};

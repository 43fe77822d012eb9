#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// The header fields of one request or reply, in order, with names compared without
// regard to case as HTTP requires.
class HeaderList
{
public:
    using Field = QPair<QByteArray, QByteArray>;

    HeaderList() = default;
    HeaderList(std::initializer_list<Field> fields);
    explicit HeaderList(QList<Field> fields);

    const QList<Field>& fields() const { return m_fields; }

    std::optional<QByteArray> value(const QByteArray& name) const;
    // The field's value as a whole number; none when absent or not a number.
    std::optional<qint64> integer(const QByteArray& name) const;
    // Replaces every field of that name with one field, or appends it.
    void set(const QByteArray& name, const QByteArray& value);

    // A header map as text, sorted by name: ["Accept": "application/vnd.github+json"].
    QString toDisplayText() const;

    friend bool operator==(const HeaderList&, const HeaderList&) = default;

private:
    QList<Field> m_fields;
};

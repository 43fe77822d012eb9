#include "http/HeaderList.h"

#include <QStringList>

#include <algorithm>

namespace {

// Quoted as a string literal, so that quotes inside a value (an ETag) stay readable.
QString quoted(const QByteArray& text)
{
    QString value = QString::fromUtf8(text);
    value.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + value + u'"';
}

bool sameName(const QByteArray& a, const QByteArray& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

HeaderList::HeaderList(std::initializer_list<Field> fields)
    : m_fields(fields)
{ }

HeaderList::HeaderList(QList<Field> fields)
    : m_fields(std::move(fields))
{ }

std::optional<QByteArray> HeaderList::value(const QByteArray& name) const
{
    for (const Field& field : m_fields) {
        if (sameName(field.first, name))
            return field.second;
    }
    return std::nullopt;
}

std::optional<qint64> HeaderList::integer(const QByteArray& name) const
{
    const std::optional<QByteArray> text = value(name);
    bool ok = false;
    const qint64 number = text ? text->trimmed().toLongLong(&ok) : 0;
    return ok ? std::optional<qint64>(number) : std::nullopt;
}

void HeaderList::set(const QByteArray& name, const QByteArray& value)
{
    m_fields.removeIf([&name](const Field& field) { return sameName(field.first, name); });
    m_fields.append({name, value});
}

QString HeaderList::toDisplayText() const
{
    QList<Field> sorted = m_fields;
    std::stable_sort(sorted.begin(), sorted.end(),
        [](const Field& a, const Field& b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
    QStringList entries;
    entries.reserve(sorted.size());
    for (const Field& field : sorted)
        entries.append(quoted(field.first) + QStringLiteral(": ") + quoted(field.second));
    return u'[' + entries.join(QStringLiteral(", ")) + u']';
}

#include "HttpHeaders.h"

#include <algorithm>

namespace {

bool sameName(const QByteArray& a, const QByteArray& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

HttpHeaders::HttpHeaders(std::initializer_list<Field> fields)
    : m_fields(fields)
{ }

void HttpHeaders::add(const QByteArray& name, const QByteArray& value)
{
    m_fields.append({name, value});
}

void HttpHeaders::set(const QByteArray& name, const QByteArray& value)
{
    const auto first
        = std::find_if(m_fields.begin(), m_fields.end(), [&](const Field& f) { return sameName(f.first, name); });
    if (first == m_fields.end()) {
        add(name, value);
        return;
    }
    first->second = value;
    m_fields.erase(
        std::remove_if(std::next(first), m_fields.end(), [&](const Field& f) { return sameName(f.first, name); }),
        m_fields.end());
}

void HttpHeaders::remove(const QByteArray& name)
{
    m_fields.removeIf([&](const Field& f) { return sameName(f.first, name); });
}

bool HttpHeaders::contains(const QByteArray& name) const
{
    return std::any_of(m_fields.begin(), m_fields.end(), [&](const Field& f) { return sameName(f.first, name); });
}

QByteArray HttpHeaders::value(const QByteArray& name) const
{
    for (const Field& field : m_fields) {
        if (sameName(field.first, name))
            return field.second;
    }
    return {};
}

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a Link header (RFC 8288) as GitHub sends it for paging:
// <https://api.github.com/…?page=2>; rel="next", <…?page=5>; rel="last".
class LinkHeader
{
public:
    // The target of the first link with `relation` among its rel values, as written.
    static std::optional<QString> target(const QByteArray& value, const QByteArray& relation);
};

#pragma once

#include <QByteArray>
#include <QDateTime>

// HTTP dates in the RFC 1123 form GitHub writes, e.g. "Thu, 05 Jul 2012 15:31:30 GMT".
class HttpDate
{
public:
    static QByteArray format(const QDateTime& moment);
    // An invalid QDateTime when the text is not an RFC 1123 date.
    static QDateTime parse(const QByteArray& text);
};

#include "github/LinkHeader.h"

#include <QList>

namespace {

// Splits at `separator` where it is not inside a quoted string.
QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char separator)
{
    QList<QByteArray> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.mid(start));
    return parts;
}

bool hasRelation(const QByteArray& parameters, const QByteArray& relation)
{
    for (const QByteArray& parameter : splitOutsideQuotes(parameters, ';')) {
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0 || parameter.left(equals).trimmed().toLower() != "rel")
            continue;
        QByteArray value = parameter.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        for (const QByteArray& name : value.simplified().split(' ')) {
            if (name.compare(relation, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

std::optional<QString> LinkHeader::target(const QByteArray& value, const QByteArray& relation)
{
    // A comma inside <…> belongs to the URL, so links are cut after each '>'.
    qsizetype position = 0;
    while (position < value.size()) {
        const qsizetype open = value.indexOf('<', position);
        const qsizetype close = open < 0 ? -1 : value.indexOf('>', open);
        if (close < 0)
            return std::nullopt;
        const QByteArray rest = value.mid(close + 1);
        const QList<QByteArray> upToNextLink = splitOutsideQuotes(rest, ',');
        if (hasRelation(upToNextLink.first(), relation))
            return QString::fromUtf8(value.mid(open + 1, close - open - 1).trimmed());
        position = close + 1 + upToNextLink.first().size() + 1;
    }
    return std::nullopt;
}

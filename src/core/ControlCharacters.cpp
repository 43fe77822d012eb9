#include "core/ControlCharacters.h"

#include <algorithm>

namespace {

bool isEscaped(QChar c)
{
    const char16_t u = c.unicode();
    if (u == u'\n' || u == u'\t')
        return false;
    return u < 0x20 || (u >= 0x7f && u <= 0x9f);
}

} // namespace

QString escapeControlCharacters(const QString& text)
{
    if (std::none_of(text.cbegin(), text.cend(), isEscaped))
        return text;
    QString escaped;
    escaped.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (isEscaped(c))
            escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

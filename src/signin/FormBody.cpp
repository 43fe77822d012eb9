#include "signin/FormBody.h"

#include <QUrl>

namespace {

QByteArray encoded(const QString& text)
{
    // Letters, digits and "-._~" are never encoded; these stay too, as in a URL query.
    static const QByteArray keptAsIs = QByteArrayLiteral("!$'()*,/:;?@");
    return QUrl::toPercentEncoding(text, keptAsIs);
}

} // namespace

QByteArray formBody(const QList<std::pair<QString, QString>>& fields)
{
    QByteArray body;
    for (const auto& [key, value] : fields) {
        if (!body.isEmpty())
            body.append('&');
        body.append(encoded(key) + '=' + encoded(value));
    }
    return body;
}

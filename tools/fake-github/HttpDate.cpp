#include "HttpDate.h"

#include <QLocale>
#include <QTimeZone>

namespace {

const QString kFormat = QStringLiteral("ddd, dd MMM yyyy HH:mm:ss");

} // namespace

QByteArray HttpDate::format(const QDateTime& moment)
{
    return QLocale::c().toString(moment.toUTC(), kFormat).toLatin1() + " GMT";
}

QDateTime HttpDate::parse(const QByteArray& text)
{
    const QByteArray trimmed = text.trimmed();
    if (!trimmed.endsWith(" GMT"))
        return {};
    const QDateTime local = QLocale::c().toDateTime(QString::fromLatin1(trimmed.chopped(4)), kFormat);
    if (!local.isValid())
        return {};
    return QDateTime(local.date(), local.time(), QTimeZone::utc());
}

#include "core/DateTexts.h"

#include <QTimeZone>

#include <memory>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace {

// The locale the user chose for dates: LC_ALL, then LC_TIME, then LANG, as the C
// library resolves them ("de_DE.UTF-8@euro" → "de_DE").
icu::Locale userTimeLocale()
{
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        QByteArray value = qgetenv(variable);
        if (value.isEmpty())
            continue;
        for (char separator : {'.', '@'}) {
            if (const qsizetype at = value.indexOf(separator); at >= 0)
                value.truncate(at);
        }
        if (value == "C" || value == "POSIX")
            break;
        return icu::Locale::createCanonical(value.constData());
    }
    return icu::Locale::getUS();
}

const icu::DateFormat* mediumFormat()
{
    static const std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createDateTimeInstance(icu::DateFormat::kMedium, icu::DateFormat::kMedium, userTimeLocale()));
    return format.get();
}

} // namespace

QString mediumDateTimeText(const QDateTime& moment)
{
    const icu::DateFormat* format = mediumFormat();
    if (!format)
        return moment.toLocalTime().toString(Qt::TextDate);
    icu::UnicodeString text;
    format->format(static_cast<UDate>(moment.toMSecsSinceEpoch()), text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

QString utcDateTimeText(const QDateTime& moment)
{
    return moment.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" +0000");
}

#include "core/DateTexts.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <memory>
#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/reldatefmt.h>
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

const icu::RelativeDateTimeFormatter* relativeFormat()
{
    static const std::unique_ptr<icu::RelativeDateTimeFormatter> format = [] {
        UErrorCode status = U_ZERO_ERROR;
        auto formatter = std::make_unique<icu::RelativeDateTimeFormatter>(
            userTimeLocale(), nullptr, UDAT_STYLE_LONG, UDISPCTX_CAPITALIZATION_NONE, status);
        return U_SUCCESS(status) ? std::move(formatter) : nullptr;
    }();
    return format.get();
}

QString fromIcu(const icu::UnicodeString& text)
{
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

// Whole calendar months from `from` to `to` (to ≥ from).
int monthsBetween(const QDateTime& from, const QDateTime& to)
{
    int months = (to.date().year() - from.date().year()) * 12 + to.date().month() - from.date().month();
    if (months > 0 && from.addMonths(months) > to)
        --months;
    return months;
}

} // namespace

QString mediumDateTimeText(const QDateTime& moment)
{
    const icu::DateFormat* format = mediumFormat();
    if (!format)
        return moment.toLocalTime().toString(Qt::TextDate);
    icu::UnicodeString text;
    format->format(static_cast<UDate>(moment.toMSecsSinceEpoch()), text);
    return fromIcu(text);
}

QString utcDateTimeText(const QDateTime& moment)
{
    return moment.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" +0000");
}

QString relativeDateTimeText(const QString& isoText, const QDateTime& now)
{
    // RFC 3339's date-time: a time and a zone are required, fractions allowed.
    static const QRegularExpression internetDateTime(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(\\.\\d+)?(Z|[+-]\\d\\d:\\d\\d)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QDateTime moment = QDateTime::fromString(isoText, Qt::ISODateWithMs);
    const icu::RelativeDateTimeFormatter* format = relativeFormat();
    if (!internetDateTime.match(isoText).hasMatch() || !moment.isValid() || !format)
        return isoText;

    const qint64 seconds = moment.secsTo(now);
    const bool past = seconds >= 0;
    const qint64 magnitude = past ? seconds : -seconds;
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text;
    if (magnitude < 1) {
        format->format(UDAT_DIRECTION_PLAIN, UDAT_ABSOLUTE_NOW, text, status);
        return fromIcu(text);
    }
    const int months = past ? monthsBetween(moment, now) : monthsBetween(now, moment);
    URelativeDateTimeUnit unit = UDAT_REL_UNIT_SECOND;
    qint64 amount = magnitude;
    if (months >= 12) {
        unit = UDAT_REL_UNIT_YEAR;
        amount = months / 12;
    } else if (months >= 1) {
        unit = UDAT_REL_UNIT_MONTH;
        amount = months;
    } else if (magnitude >= 7 * 86400) {
        unit = UDAT_REL_UNIT_WEEK;
        amount = magnitude / (7 * 86400);
    } else if (magnitude >= 86400) {
        unit = UDAT_REL_UNIT_DAY;
        amount = magnitude / 86400;
    } else if (magnitude >= 3600) {
        unit = UDAT_REL_UNIT_HOUR;
        amount = magnitude / 3600;
    } else if (magnitude >= 60) {
        unit = UDAT_REL_UNIT_MINUTE;
        amount = magnitude / 60;
    }
    format->formatNumeric(static_cast<double>(past ? -amount : amount), unit, text, status);
    return U_SUCCESS(status) ? fromIcu(text) : isoText;
}

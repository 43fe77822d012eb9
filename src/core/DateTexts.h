#pragma once

#include <QDateTime>
#include <QString>

// The date and time texts of status lines and console lines.

// A moment in the user's locale and time zone, medium date style and medium time
// style, as ICU renders it (e.g. "Dec 5, 2026, 10:16:37 PM" in en_US, with ICU's
// narrow no-break space before "PM").
QString mediumDateTimeText(const QDateTime& moment);

// A moment in UTC with its offset, e.g. "2026-12-05 22:20:36 +0000".
QString utcDateTimeText(const QDateTime& moment);

// How long ago (or ahead) `isoText` lies from `now`, as the user's locale says it in
// full words ("2 hours ago", "in 3 days", "now"), in the largest whole unit: seconds,
// minutes, hours, days, weeks, months or years. A text that is not an ISO 8601 internet
// date-time (a date with time and zone) comes back unchanged.
QString relativeDateTimeText(const QString& isoText, const QDateTime& now);

#include "core/DateTexts.h"

#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;

class TestDateTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mediumDateTimeInUsEnglish();
    void utcDateTimeText_data();
    void utcDateTimeText();
    void relativeDateTimeText_data();
    void relativeDateTimeText();
};

// The tests run with LC_ALL=en_US.UTF-8 and TZ=UTC.
void TestDateTexts::mediumDateTimeInUsEnglish()
{
    const QDateTime moment(QDate(2026, 12, 5), QTime(22, 16, 37, 512), QTimeZone::utc());
    QCOMPARE(mediumDateTimeText(moment), u"Dec 5, 2026, 10:16:37\u202FPM"_s);
}

void TestDateTexts::utcDateTimeText_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("text");
    QTest::newRow("utc") << QDateTime(QDate(2026, 12, 5), QTime(22, 20, 36), QTimeZone::utc())
                         << u"2026-12-05 22:20:36 +0000"_s;
    QTest::newRow("offset converted to utc")
        << QDateTime(QDate(2026, 12, 6), QTime(1, 20, 36, 999), QTimeZone(3 * 3600)) << u"2026-12-05 22:20:36 +0000"_s;
}

void TestDateTexts::utcDateTimeText()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, text);
    QCOMPARE(::utcDateTimeText(moment), text);
}

void TestDateTexts::relativeDateTimeText_data()
{
    QTest::addColumn<QString>("updatedAt");
    QTest::addColumn<QString>("text");

    // Now is 2026-12-05T22:20:36Z.
    QTest::newRow("same moment") << u"2026-12-05T22:20:36Z"_s << u"now"_s;
    QTest::newRow("seconds") << u"2026-12-05T22:20:01Z"_s << u"35 seconds ago"_s;
    QTest::newRow("one minute") << u"2026-12-05T22:19:30Z"_s << u"1 minute ago"_s;
    QTest::newRow("hours, rounded down") << u"2026-12-05T20:00:00Z"_s << u"2 hours ago"_s;
    QTest::newRow("with an offset") << u"2026-12-05T17:20:36-03:00"_s << u"2 hours ago"_s;
    QTest::newRow("fractional seconds") << u"2026-12-04T22:20:35.750Z"_s << u"1 day ago"_s;
    QTest::newRow("weeks") << u"2026-11-20T10:00:00Z"_s << u"2 weeks ago"_s;
    QTest::newRow("calendar months") << u"2026-09-05T22:20:36Z"_s << u"3 months ago"_s;
    QTest::newRow("years") << u"2024-12-01T00:00:00Z"_s << u"2 years ago"_s;
    QTest::newRow("future") << u"2026-12-06T01:20:36Z"_s << u"in 3 hours"_s;
    QTest::newRow("date only: unchanged") << u"2026-12-05"_s << u"2026-12-05"_s;
    QTest::newRow("no zone: unchanged") << u"2026-12-05T22:20:36"_s << u"2026-12-05T22:20:36"_s;
    QTest::newRow("not a date") << u"yesterday"_s << u"yesterday"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestDateTexts::relativeDateTimeText()
{
    QFETCH(QString, updatedAt);
    QFETCH(QString, text);
    const QDateTime now(QDate(2026, 12, 5), QTime(22, 20, 36), QTimeZone::utc());
    QCOMPARE(::relativeDateTimeText(updatedAt, now), text);
}

QTEST_GUILESS_MAIN(TestDateTexts)
#include "tst_datetexts.moc"

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

QTEST_GUILESS_MAIN(TestDateTexts)
#include "tst_datetexts.moc"

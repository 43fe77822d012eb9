#include "desktop/AutostartEntry.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The program as "Start at Login"'s entry starts it: quoted as desktop entries require.
// (The entry itself is written and removed through the Settings menu, in
// tst_desktopintegration.)
class TestAutostartEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void execValue_data();
    void execValue();
};

void TestAutostartEntry::execValue_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("exec");
    QTest::newRow("found on PATH") << u"tidewhelk"_s << u"tidewhelk --hidden"_s;
    QTest::newRow("an absolute path") << u"/opt/tidewhelk/bin/tidewhelk"_s
                                      << u"/opt/tidewhelk/bin/tidewhelk --hidden"_s;
    QTest::newRow("a space needs quotes")
        << u"/home/ana/My Tools/tidewhelk"_s << u"\"/home/ana/My Tools/tidewhelk\" --hidden"_s;
    // Inside quotes " ` $ \ take a backslash; then every backslash of the value is doubled.
    QTest::newRow("quote, dollar and backslash are escaped")
        << u"/srv/a\"b$c\\d/tidewhelk"_s << u"\"/srv/a\\\\\"b\\\\$c\\\\\\\\d/tidewhelk\" --hidden"_s;
    QTest::newRow("a percent sign is doubled") << u"/srv/100%/tidewhelk"_s << u"/srv/100%%/tidewhelk --hidden"_s;
}

void TestAutostartEntry::execValue()
{
    QFETCH(QString, program);
    QFETCH(QString, exec);
    QCOMPARE(AutostartEntry::execValue(program), exec);
}

QTEST_MAIN(TestAutostartEntry)
#include "tst_autostartentry.moc"

#include "TestHome.h"
#include "desktop/AutostartEntry.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

// "Start at Login": the XDG autostart entry written and removed in a private
// XDG_CONFIG_HOME, and the program's name quoted as desktop entries require.
class TestAutostartEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writtenAndRemoved();
    void aDirectoryThatCannotBeMadeLeavesItOff();
    void execValue_data();
    void execValue();
};

void TestAutostartEntry::writtenAndRemoved()
{
    const TestHome home;
    QCOMPARE(AutostartEntry::defaultDirectory(), home.configHome() + u"/autostart"_s);
    AutostartEntry entry(AutostartEntry::defaultDirectory(), u"tidewhelk"_s);
    QCOMPARE(entry.filePath(), home.configHome() + u"/autostart/tidewhelk.desktop"_s);
    QVERIFY(!entry.isEnabled());

    QVERIFY(entry.setEnabled(true));
    QVERIFY(entry.isEnabled());
    QFile file(entry.filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()),
        u"[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Tidewhelk\n"
        "Comment=Keep your GitHub notification threads and assigned issues up to date\n"
        "Exec=tidewhelk --hidden\n"
        "Icon=tidewhelk\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n"_s);

    QVERIFY(entry.setEnabled(false));
    QVERIFY(!QFile::exists(entry.filePath()));
    QVERIFY(entry.setEnabled(false));
}

void TestAutostartEntry::aDirectoryThatCannotBeMadeLeavesItOff()
{
    const TestHome home;
    QFile blocker(home.configHome() + u"/autostart"_s);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    AutostartEntry entry(AutostartEntry::defaultDirectory(), u"tidewhelk"_s);
    QVERIFY(!entry.setEnabled(true));
    QVERIFY(!entry.isEnabled());
}

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

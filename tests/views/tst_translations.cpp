#include "views/Translations.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The window's catalogues: the built-in German one and Qt's own give a German locale
// German texts; English, a language without a catalogue, or a catalogue that cannot be
// read leave the window in English.
class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void builtInCatalogue_data();
    void builtInCatalogue();
    void missingCatalogueLeavesEnglish_data();
    void missingCatalogueLeavesEnglish();
};

void TestTranslations::builtInCatalogue_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("tabTitle");
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<QString>("cancelButton");

    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << u"Benachrichtigungen"_s
                            << u"&Einstellungen"_s << u"Abbrechen"_s;
    QTest::newRow("German of another country") << QLocale(QLocale::German, QLocale::Austria) << u"Benachrichtigungen"_s
                                               << u"&Einstellungen"_s << u"Abbrechen"_s;
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << u"Notifications"_s << u"&Settings"_s
                             << u"Cancel"_s;
    QTest::newRow("a language without catalogues")
        << QLocale(QLocale::Swahili, QLocale::Kenya) << u"Notifications"_s << u"&Settings"_s << u"Cancel"_s;
}

void TestTranslations::builtInCatalogue()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, tabTitle);
    QFETCH(QString, menuItem);
    QFETCH(QString, cancelButton);

    const Translations translations(locale);
    QCOMPARE(QCoreApplication::translate("ContentView", "Notifications"), tabTitle);
    QCOMPARE(QCoreApplication::translate("TidewhelkApp", "&Settings"), menuItem);
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), cancelButton);
}

void TestTranslations::missingCatalogueLeavesEnglish_data()
{
    QTest::addColumn<QByteArray>("catalogue");

    QTest::newRow("no catalogue for the language") << QByteArray();
    QTest::newRow("a catalogue that is not one") << "not a message catalogue"_ba;
}

void TestTranslations::missingCatalogueLeavesEnglish()
{
    QFETCH(QByteArray, catalogue);
    QTemporaryDir directory;
    if (!catalogue.isEmpty()) {
        for (const QString& name : {u"tidewhelk_de.qm"_s, u"qtbase_de.qm"_s}) {
            QFile file(directory.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(catalogue);
        }
    }
    const Translations translations(QLocale(QLocale::German, QLocale::Germany), directory.path(), directory.path());
    QCOMPARE(QCoreApplication::translate("ContentView", "Notifications"), u"Notifications"_s);
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), u"Cancel"_s);
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"

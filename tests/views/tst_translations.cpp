#include "views/Translations.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The window's catalogues: a language without one, or with one that cannot be read,
// leaves the window in English.
class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingCatalogueLeavesEnglish_data();
    void missingCatalogueLeavesEnglish();
};

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

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

// What is wrong with the messages of a catalogue: each one lupdate marked, and each one
// whose translation, or one of whose plural forms, is empty.
QStringList untranslatedMessages(QIODevice& catalogue)
{
    QStringList problems;
    QXmlStreamReader xml(&catalogue);
    QString context;
    QString source;
    QString type;
    bool numerus = false;
    QStringList forms;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == "message"_L1) {
            if (!type.isEmpty())
                problems << context + u": \""_s + source + u"\" is "_s + type;
            else if (forms.isEmpty() || forms.contains(QString()))
                problems << context + u": \""_s + source + u"\" has no translation"_s;
        }
        if (!xml.isStartElement())
            continue;
        if (xml.name() == "name"_L1) {
            context = xml.readElementText();
        } else if (xml.name() == "message"_L1) {
            numerus = xml.attributes().value("numerus"_L1) == "yes"_L1;
            source.clear();
            type.clear();
            forms.clear();
        } else if (xml.name() == "source"_L1) {
            source = xml.readElementText();
        } else if (xml.name() == "translation"_L1) {
            type = xml.attributes().value("type"_L1).toString();
            if (!numerus)
                forms << xml.readElementText();
        } else if (xml.name() == "numerusform"_L1) {
            forms << xml.readElementText();
        }
    }
    if (xml.hasError())
        problems << u"the catalogue cannot be read: "_s + xml.errorString();
    return problems;
}

} // namespace

// Every catalogue translates every tr() text of the sources and nothing else: lupdate,
// run on a copy of it, adds a text it lacks as unfinished and keeps one the sources no
// longer have as vanished.
class TestTranslationsComplete : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyTextTranslated_data();
    void everyTextTranslated();
};

void TestTranslationsComplete::everyTextTranslated_data()
{
    QTest::addColumn<QString>("catalogue");

    const QDir translations(QStringLiteral(TIDEWHELK_TRANSLATIONS_DIR));
    const QStringList catalogues = translations.entryList({u"tidewhelk_*.ts"_s}, QDir::Files);
    QVERIFY2(!catalogues.isEmpty(), "no catalogue in " TIDEWHELK_TRANSLATIONS_DIR);
    for (const QString& name : catalogues)
        QTest::newRow(qPrintable(name)) << translations.filePath(name);
}

void TestTranslationsComplete::everyTextTranslated()
{
    QFETCH(QString, catalogue);
    QTemporaryDir directory;
    const QString copy = directory.filePath(QFileInfo(catalogue).fileName());
    QFile original(catalogue);
    QFile updated(copy);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QVERIFY(updated.open(QIODevice::WriteOnly));
    updated.write(original.readAll());
    updated.close();

    const QString sources = QStringLiteral(TIDEWHELK_SOURCES_DIR);
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(LUPDATE_EXECUTABLE),
        {u"-silent"_s, u"-locations"_s, u"none"_s, u"-extensions"_s, u"cpp,h"_s, u"-I"_s, sources, u"-I"_s,
            sources + u"/app"_s, sources, u"-ts"_s, copy});
    QVERIFY(lupdate.waitForFinished(-1));
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0, lupdate.readAll().constData());

    QVERIFY(updated.open(QIODevice::ReadOnly));
    const QStringList problems = untranslatedMessages(updated);
    QVERIFY2(problems.isEmpty(),
        qPrintable(u"update translations/ with `cmake --build build/default --target update_translations` and "
                   u"translate:\n"_s
            + problems.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestTranslationsComplete)
#include "tst_translationscomplete.moc"

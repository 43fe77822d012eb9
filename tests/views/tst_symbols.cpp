#include "views/ReceivedURL.h"
#include "views/Symbols.h"

#include <QImage>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Pixels that are not fully transparent.
int inkedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return count;
}

} // namespace

// Every symbol of the table draws something, in its colour; URLs handed to the
// application keep their scheme and host as written.
class TestSymbols : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everySymbolDraws_data();
    void everySymbolDraws();
    void unknownSymbolHasNoIcon();
    void receivedURL_data();
    void receivedURL();
};

void TestSymbols::everySymbolDraws_data()
{
    QTest::addColumn<QString>("symbol");
    for (const QString& symbol : Symbols::names())
        QTest::newRow(qPrintable(symbol)) << symbol;
}

void TestSymbols::everySymbolDraws()
{
    QFETCH(QString, symbol);
    const QIcon icon = Symbols::icon(symbol);
    QVERIFY(!icon.isNull());
    QVERIFY(inkedPixels(icon.pixmap(20, 20).toImage()) > 20);

    const QColor red(0xd6, 0x3b, 0x4a);
    const QImage tinted = Symbols::pixmap(symbol, red, 20, 1.0).toImage();
    QCOMPARE(tinted.size(), QSize(20, 20));
    QVERIFY(inkedPixels(tinted) > 20);
    for (int y = 0; y < tinted.height(); ++y) {
        for (int x = 0; x < tinted.width(); ++x) {
            if (qAlpha(tinted.pixel(x, y)) == 255)
                QCOMPARE(QColor(tinted.pixel(x, y)), red);
        }
    }
}

void TestSymbols::unknownSymbolHasNoIcon()
{
    QVERIFY(Symbols::icon(u"no.such.symbol"_s).isNull());
    QVERIFY(Symbols::pixmap(u"no.such.symbol"_s, Qt::red, 20, 1.0).isNull());
}

void TestSymbols::receivedURL_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("host");

    QTest::newRow("callback") << u"tidewhelk://oauth/callback?code=a&state=b"_s << true << u"tidewhelk"_s << u"oauth"_s;
    QTest::newRow("capitals kept") << u"TideWhelk://OAuth/callback"_s << true << u"TideWhelk"_s << u"OAuth"_s;
    QTest::newRow("user info and port") << u"https://me@github.com:8443/x"_s << true << u"https"_s << u"github.com"_s;
    QTest::newRow("no authority") << u"mailto:someone@example.com"_s << true << u"mailto"_s << QString();
    QTest::newRow("empty") << QString() << false << QString() << QString();
    QTest::newRow("not a URL") << u"tidewhelk://oauth/a b"_s << false << QString() << QString();
}

void TestSymbols::receivedURL()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, scheme);
    QFETCH(QString, host);
    const std::optional<ReceivedURL> url = ReceivedURL::parse(text);
    QCOMPARE(url.has_value(), valid);
    if (!url)
        return;
    QCOMPARE(url->text(), text);
    QCOMPARE(url->scheme(), scheme);
    QCOMPARE(url->host(), host);
}

QTEST_MAIN(TestSymbols)
#include "tst_symbols.moc"

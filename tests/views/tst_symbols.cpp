#include "views/EmojiPixmaps.h"
#include "views/ReceivedURL.h"
#include "views/Symbols.h"

#include <QApplication>
#include <QFontMetrics>
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

// The height of the rows of `image` that hold a visible pixel, from the first to the last.
int inkedHeight(const QImage& image)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                first = first < 0 ? y : first;
                last = y;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

} // namespace

// Every symbol of the table draws something, in its colour; emoji are as tall as the
// text beside them; URLs handed to the application keep their scheme and host as written.
class TestSymbols : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everySymbolDraws_data();
    void everySymbolDraws();
    void unknownSymbolHasNoIcon();
    void emojiAreAsTallAsTheirText_data();
    void emojiAreAsTallAsTheirText();
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

void TestSymbols::emojiAreAsTallAsTheirText_data()
{
    QTest::addColumn<QString>("emoji");
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<qreal>("ratio");

    // The table's own font, a larger one, and a screen of twice the density.
    const qreal rowSize = QApplication::font().pointSizeF();
    QTest::newRow("a reason in the row font") << u"💬"_s << rowSize << 1.0;
    QTest::newRow("one with a variation selector") << u"⚠️"_s << rowSize << 1.0;
    QTest::newRow("a larger font") << u"🔔"_s << 16.0 << 1.0;
    QTest::newRow("a dense screen") << u"❓"_s << rowSize << 2.0;
}

void TestSymbols::emojiAreAsTallAsTheirText()
{
    QFETCH(QString, emoji);
    QFETCH(qreal, pointSize);
    QFETCH(qreal, ratio);
    QFont font = QApplication::font();
    font.setPointSizeF(pointSize);
    const int textHeight = QFontMetrics(font).height();
    const QPixmap drawn = EmojiPixmaps::pixmap(emoji, font, ratio);
    QCOMPARE(drawn.deviceIndependentSize().height(), textHeight);
    // The picture itself fills that height, not only the pixmap around it.
    QCOMPARE(inkedHeight(drawn.toImage()), qRound(textHeight * ratio));
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

#include "http/HeaderList.h"
#include "http/HttpCachePolicy.h"

#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

const QDateTime received(QDate(2026, 12, 5), QTime(22, 0), QTimeZone::utc());

OutgoingRequest get()
{
    return OutgoingRequest {"GET", QUrl(u"https://api.github.com/notifications"_s), {}, {}};
}

} // namespace

// Which replies are kept, for how long they are fresh, and what a 304 changes of them.
class TestHttpCachePolicy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storable_data();
    void storable();
    void freshness_data();
    void freshness();
    void notModifiedUpdatesStoredHeaders();
};

void TestHttpCachePolicy::storable_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<int>("status");
    QTest::addColumn<HeaderList>("headers");
    QTest::addColumn<bool>("storable");

    const HeaderList github {{"Cache-Control", "private, max-age=60, s-maxage=60"}, {"ETag", "\"abc\""},
        {"Vary", "Accept, Authorization, Cookie, X-GitHub-OTP"}};
    QTest::newRow("GitHub's 200") << QByteArray("GET") << 200 << github << true;
    QTest::newRow("PATCH") << QByteArray("PATCH") << 200 << github << false;
    QTest::newRow("404") << QByteArray("GET") << 404 << github << false;
    QTest::newRow("no-store") << QByteArray("GET") << 200
                              << HeaderList {{"Cache-Control", "private, no-store"}, {"ETag", "\"abc\""}} << false;
    QTest::newRow("Vary *") << QByteArray("GET") << 200 << HeaderList {{"ETag", "\"a\""}, {"Vary", "*"}} << false;
    QTest::newRow("only Last-Modified") << QByteArray("GET") << 200
                                        << HeaderList {{"Last-Modified", "Thu, 25 Oct 2012 15:16:27 GMT"}} << true;
    QTest::newRow("nothing to reuse it by")
        << QByteArray("GET") << 200 << HeaderList {{"Cache-Control", "max-age=0"}} << false;
}

void TestHttpCachePolicy::storable()
{
    QFETCH(QByteArray, method);
    QFETCH(int, status);
    QFETCH(HeaderList, headers);
    QFETCH(bool, storable);
    OutgoingRequest request = get();
    request.method = method;
    QCOMPARE(HttpCachePolicy::isStorable(request, HttpReply {status, headers, {}}), storable);
}

void TestHttpCachePolicy::freshness_data()
{
    QTest::addColumn<HeaderList>("headers");
    QTest::addColumn<int>("freshSeconds");

    QTest::newRow("max-age") << HeaderList {{"Cache-Control", "private, max-age=60, s-maxage=60"}} << 60;
    QTest::newRow("quoted, any case") << HeaderList {{"cache-control", "Max-Age=\"30\""}} << 30;
    QTest::newRow("less its Age") << HeaderList {{"Cache-Control", "max-age=60"}, {"Age", "45"}} << 15;
    QTest::newRow("older than max-age") << HeaderList {{"Cache-Control", "max-age=60"}, {"Age", "600"}} << 0;
    QTest::newRow("no-cache wins") << HeaderList {{"Cache-Control", "no-cache, max-age=60"}} << 0;
    QTest::newRow("no max-age") << HeaderList {{"ETag", "\"a\""}} << 0;
    QTest::newRow("unreadable max-age") << HeaderList {{"Cache-Control", "max-age=soon"}} << 0;
}

void TestHttpCachePolicy::freshness()
{
    QFETCH(HeaderList, headers);
    QFETCH(int, freshSeconds);
    QCOMPARE(HttpCachePolicy::freshUntil(headers, received), received.addSecs(freshSeconds));
}

void TestHttpCachePolicy::notModifiedUpdatesStoredHeaders()
{
    const HeaderList stored {{"Content-Type", "application/json"}, {"Content-Length", "1200"}, {"ETag", "\"a\""},
        {"Link", "<https://h/x?page=2>; rel=\"next\""}, {"Cache-Control", "max-age=60"}};
    const HeaderList notModified {
        {"Content-Length", "0"}, {"ETag", "\"a\""}, {"Cache-Control", "max-age=120"}, {"X-Poll-Interval", "60"}};
    const HeaderList merged = HttpCachePolicy::afterNotModified(stored, notModified);
    QCOMPARE(merged.value("Content-Length"), QByteArray("1200"));
    QCOMPARE(merged.value("Content-Type"), QByteArray("application/json"));
    QCOMPARE(merged.value("Link"), QByteArray("<https://h/x?page=2>; rel=\"next\""));
    QCOMPARE(merged.value("cache-control"), QByteArray("max-age=120"));
    QCOMPARE(merged.value("X-Poll-Interval"), QByteArray("60"));
    QCOMPARE(HttpCachePolicy::freshUntil(merged, received), received.addSecs(120));
}

QTEST_GUILESS_MAIN(TestHttpCachePolicy)
#include "tst_httpcachepolicy.moc"

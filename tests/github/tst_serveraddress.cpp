#include "github/ServerAddress.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestServerAddress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void rejected_data();
    void rejected();
    void hostOf_data();
    void hostOf();
};

void TestServerAddress::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("apiBase");
    QTest::addColumn<QString>("webBase");
    QTest::addColumn<QString>("host");

    const QString publicApi = u"https://api.github.com"_s;
    const QString publicWeb = u"https://github.com"_s;
    QTest::newRow("public host") << u"github.com"_s << publicApi << publicWeb << u"github.com"_s;
    QTest::newRow("public web address") << u"https://github.com/"_s << publicApi << publicWeb << u"github.com"_s;
    QTest::newRow("public API host") << u"api.github.com"_s << publicApi << publicWeb << u"github.com"_s;
    QTest::newRow("public API address, any case")
        << u"HTTPS://API.GitHub.com"_s << publicApi << publicWeb << u"github.com"_s;

    const QString enterpriseApi = u"https://github.example.com/api/v3"_s;
    const QString enterpriseWeb = u"https://github.example.com"_s;
    const QString enterpriseHost = u"github.example.com"_s;
    QTest::newRow("enterprise host") << u"github.example.com"_s << enterpriseApi << enterpriseWeb << enterpriseHost;
    QTest::newRow("enterprise host, blanks around")
        << u"  github.example.com\n"_s << enterpriseApi << enterpriseWeb << enterpriseHost;
    QTest::newRow("enterprise web address")
        << u"https://github.example.com/"_s << enterpriseApi << enterpriseWeb << enterpriseHost;
    QTest::newRow("enterprise API address")
        << u"https://github.example.com/api/v3"_s << enterpriseApi << enterpriseWeb << enterpriseHost;
    QTest::newRow("enterprise API address, trailing slash")
        << u"https://github.example.com/api/v3/"_s << enterpriseApi << enterpriseWeb << enterpriseHost;
    QTest::newRow("enterprise with a port")
        << u"github.example.com:8443"_s << u"https://github.example.com:8443/api/v3"_s
        << u"https://github.example.com:8443"_s << u"github.example.com:8443"_s;
    QTest::newRow("loopback over http keeps scheme and port")
        << u"http://127.0.0.1:41234/api/v3"_s << u"http://127.0.0.1:41234/api/v3"_s << u"http://127.0.0.1:41234"_s
        << u"127.0.0.1:41234"_s;
}

void TestServerAddress::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, apiBase);
    QFETCH(QString, webBase);
    QFETCH(QString, host);

    const std::optional<ServerAddress> address = ServerAddress::parse(text);
    QVERIFY(address);
    QCOMPARE(address->endpoints().apiBase(), apiBase);
    QCOMPARE(address->endpoints().webBase(), webBase);
    QCOMPARE(address->host(), host);
    QCOMPARE(ServerAddress::hostOf(address->endpoints()), host);
}

void TestServerAddress::rejected_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("blanks only") << u"  \t"_s;
    QTest::newRow("space inside") << u"github example.com"_s;
    QTest::newRow("other scheme") << u"ftp://github.example.com"_s;
    QTest::newRow("scheme only") << u"https://"_s;
    QTest::newRow("user information") << u"https://mona@github.example.com"_s;
    QTest::newRow("other path") << u"https://github.example.com/mona"_s;
    QTest::newRow("other API version") << u"https://github.example.com/api/v4"_s;
    QTest::newRow("longer API path") << u"https://github.example.com/api/v3/user"_s;
    QTest::newRow("query") << u"https://github.example.com/?a=b"_s;
    QTest::newRow("fragment") << u"https://github.example.com/#top"_s;
    QTest::newRow("public GitHub over http") << u"http://github.com"_s;
    QTest::newRow("public GitHub under /api/v3") << u"https://github.com/api/v3"_s;
    QTest::newRow("public GitHub on another port") << u"github.com:8443"_s;
}

void TestServerAddress::rejected()
{
    QFETCH(QString, text);
    QCOMPARE(ServerAddress::parse(text).has_value(), false);
}

void TestServerAddress::hostOf_data()
{
    QTest::addColumn<QString>("apiBase");
    QTest::addColumn<QString>("host");

    QTest::newRow("public GitHub") << u"https://api.github.com"_s << u"github.com"_s;
    QTest::newRow("enterprise") << u"https://github.example.com/api/v3"_s << u"github.example.com"_s;
    QTest::newRow("fake server without prefix") << u"http://127.0.0.1:5000"_s << u"127.0.0.1:5000"_s;
}

void TestServerAddress::hostOf()
{
    QFETCH(QString, apiBase);
    QFETCH(QString, host);
    QCOMPARE(ServerAddress::hostOf(GitHubEndpoints(apiBase, u"https://unused.example"_s)), host);
}

QTEST_GUILESS_MAIN(TestServerAddress)
#include "tst_serveraddress.moc"

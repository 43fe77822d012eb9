#include "github/GitHubEndpoints.h"
#include "github/GitHubRestClient.h"
#include "github/LinkHeader.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestRequestRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linkNextTarget_data();
    void linkNextTarget();
    void tokenGuard_data();
    void tokenGuard();
    void redirectTarget_data();
    void redirectTarget();
};

void TestRequestRules::linkNextTarget_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<std::optional<QString>>("next");

    QTest::newRow("GitHub's order") << QByteArray(
        R"(<https://api.github.com/repositories/515435940/issues?per_page=3&page=2>; rel="next", )"
        R"(<https://api.github.com/repositories/515435940/issues?per_page=3&page=5>; rel="last")")
                                    << std::optional(
                                           u"https://api.github.com/repositories/515435940/issues?per_page=3&page=2"_s);
    QTest::newRow("next after prev") << QByteArray(
        R"(<https://h/x?page=1>; rel="prev", <https://h/x?page=3>; rel="next")")
                                     << std::optional(u"https://h/x?page=3"_s);
    QTest::newRow("last page has no next")
        << QByteArray(R"(<https://h/x?page=4>; rel="prev", <https://h/x?page=1>; rel="first")")
        << std::optional<QString>();
    QTest::newRow("several relations, unquoted, any case")
        << QByteArray(R"(<https://h/a>; rel=LAST, <https://h/b>; title="a, b; c"; rel="prefetch Next")")
        << std::optional(u"https://h/b"_s);
    QTest::newRow("comma inside the URL")
        << QByteArray(R"(<https://h/x?a=1,2&page=2>; rel="next")") << std::optional(u"https://h/x?a=1,2&page=2"_s);
    QTest::newRow("next only as part of a word")
        << QByteArray(R"(<https://h/x>; rel="nextpage")") << std::optional<QString>();
    QTest::newRow("malformed") << QByteArray("<https://h/x; rel=\"next\"") << std::optional<QString>();
}

void TestRequestRules::linkNextTarget()
{
    QFETCH(QByteArray, header);
    QFETCH(std::optional<QString>, next);
    QCOMPARE(LinkHeader::target(header, "next"), next);
}

void TestRequestRules::tokenGuard_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("mayCarryToken");

    const QString github = u"https://api.github.com"_s;
    const QString enterprise = u"https://ghe.example.com/api/v3"_s;
    QTest::newRow("under the base") << github << u"https://api.github.com/notifications?page=2"_s << true;
    QTest::newRow("GitHub's numeric paging path")
        << github << u"https://api.github.com/repositories/515435940/issues?page=2"_s << true;
    QTest::newRow("host in another case") << github << u"https://API.github.com/notifications"_s << true;
    QTest::newRow("explicit default port") << github << u"https://api.github.com:443/notifications"_s << true;
    QTest::newRow("another host") << github << u"https://evil.example/notifications"_s << false;
    QTest::newRow("host as a prefix") << github << u"https://api.github.com.evil.example/x"_s << false;
    QTest::newRow("another port") << github << u"https://api.github.com:8443/notifications"_s << false;
    QTest::newRow("plain http") << github << u"http://api.github.com/notifications"_s << false;
    QTest::newRow("user info") << github << u"https://me@api.github.com/notifications"_s << false;
    QTest::newRow("empty user info") << github << u"https://@api.github.com/notifications"_s << false;
    QTest::newRow("relative") << github << u"/notifications"_s << false;
    QTest::newRow("inside the base path") << enterprise << u"https://ghe.example.com/api/v3/notifications"_s << true;
    QTest::newRow("outside the base path") << enterprise << u"https://ghe.example.com/api/v30/notifications"_s << false;
    QTest::newRow("dot segments out of the base path")
        << enterprise << u"https://ghe.example.com/api/v3/notifications/threads/../../../../login"_s << false;
    QTest::newRow("encoded dot segments") << enterprise << u"https://ghe.example.com/api/v3/%2e%2e/x"_s << false;
    QTest::newRow("dot segments between backslashes")
        << enterprise << u"https://ghe.example.com/api/v3/..%5C..%5Clogin"_s << false;
}

void TestRequestRules::tokenGuard()
{
    QFETCH(QString, base);
    QFETCH(QString, url);
    QFETCH(bool, mayCarryToken);
    const GitHubEndpoints endpoints(base, u"https://github.com"_s);
    QCOMPARE(endpoints.isUnderApiBase(QUrl(url, QUrl::StrictMode)), mayCarryToken);
}

void TestRequestRules::redirectTarget_data()
{
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<std::optional<QUrl>>("target");
    QTest::newRow("relative, under the base")
        << QByteArray("/notifications?page=3") << std::optional(QUrl(u"https://api.github.com/notifications?page=3"_s));
    QTest::newRow("another host") << QByteArray("https://evil.example/notifications") << std::optional<QUrl>();
    QTest::newRow("does not parse") << QByteArray("/notifications page 3") << std::optional<QUrl>();
}

void TestRequestRules::redirectTarget()
{
    QFETCH(QByteArray, location);
    QFETCH(std::optional<QUrl>, target);
    const GitHubEndpoints endpoints(u"https://api.github.com"_s, u"https://github.com"_s);
    QCOMPARE(
        GitHubRestClient::redirectTarget(endpoints, QUrl(u"https://api.github.com/notifications?page=2"_s), location),
        target);
}

QTEST_GUILESS_MAIN(TestRequestRules)
#include "tst_requestrules.moc"

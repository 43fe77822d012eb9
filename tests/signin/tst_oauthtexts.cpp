#include "signin/FormBody.h"
#include "signin/OAuthClientId.h"
#include "signin/OAuthLogText.h"

#include <QTest>

using Fields = QList<std::pair<QString, QString>>;

class TestOAuthTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formBody_data();
    void formBody();
    void maskedHidesSecrets_data();
    void maskedHidesSecrets();
    void clientIdFromTheEnvironmentWins();
};

void TestOAuthTexts::formBody_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("spaces become %20, colons stay")
        << Fields {{QStringLiteral("scope"), QStringLiteral("notifications repo read:user")}}
        << QByteArray("scope=notifications%20repo%20read:user");
    QTest::newRow("fields joined with & in order")
        << Fields {{QStringLiteral("client_id"), QStringLiteral("Iv1.abc")},
               {QStringLiteral("grant_type"), QStringLiteral("urn:ietf:params:oauth:grant-type:device_code")}}
        << QByteArray("client_id=Iv1.abc&grant_type=urn:ietf:params:oauth:grant-type:device_code");
    QTest::newRow("& = + # cannot split or alter a field")
        << Fields {{QStringLiteral("a&b"), QStringLiteral("x=1+2#3")}} << QByteArray("a%26b=x%3D1%2B2%233");
    QTest::newRow("non-ASCII as UTF-8") << Fields {{QStringLiteral("name"), QStringLiteral("café")}}
                                        << QByteArray("name=caf%C3%A9");
}

void TestOAuthTexts::formBody()
{
    QFETCH(Fields, fields);
    QFETCH(QByteArray, body);
    QCOMPARE(::formBody(fields), body);
}

void TestOAuthTexts::maskedHidesSecrets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("JSON device code") << QStringLiteral(R"({"device_code":"3584d8","user_code":"WDJB-MJHT"})")
                                      << QStringLiteral(R"({"device_code":"<redacted>","user_code":"WDJB-MJHT"})");
    QTest::newRow("JSON token with spaces and an escaped quote")
        << QStringLiteral(R"({ "access_token" : "gho_a\"b", "scope": "repo" })")
        << QStringLiteral(R"({ "access_token" : "<redacted>", "scope": "repo" })");
    QTest::newRow("form body") << QStringLiteral("access_token=gho_1&refresh_token=ghr_2&scope=repo")
                               << QStringLiteral("access_token=<redacted>&refresh_token=<redacted>&scope=repo");
    QTest::newRow("escaped key, value repeated elsewhere")
        << QStringLiteral(R"({"device\u005fcode":"3584d835","note":"code 3584d835"})")
        << QStringLiteral(R"({"device\u005fcode":"<redacted>","note":"code <redacted>"})");
    QTest::newRow("no secret: unchanged") << QStringLiteral(R"({"error":"slow_down","interval":10})")
                                          << QStringLiteral(R"({"error":"slow_down","interval":10})");
}

void TestOAuthTexts::maskedHidesSecrets()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(OAuthLogText::masked(text), shown);
}

void TestOAuthTexts::clientIdFromTheEnvironmentWins()
{
    QProcessEnvironment environment;
    const QString builtIn = resolveOAuthClientId(environment);
    environment.insert(QStringLiteral("TIDEWHELK_CLIENT_ID"), QStringLiteral("  "));
    QCOMPARE(resolveOAuthClientId(environment), builtIn);
    environment.insert(QStringLiteral("TIDEWHELK_CLIENT_ID"), QStringLiteral(" Iv1.0a1b2c3d4e5f6a7b\n"));
    QCOMPARE(resolveOAuthClientId(environment), QStringLiteral("Iv1.0a1b2c3d4e5f6a7b"));
}

QTEST_GUILESS_MAIN(TestOAuthTexts)
#include "tst_oauthtexts.moc"

#include "signin/FormBody.h"
#include "signin/OAuthClientId.h"
#include "signin/OAuthLogText.h"

#include <QTest>

using namespace Qt::StringLiterals;

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
    QTest::newRow("spaces become %20, colons stay") << Fields {{u"scope"_s, u"notifications repo read:user"_s}}
                                                    << QByteArray("scope=notifications%20repo%20read:user");
    QTest::newRow("fields joined with & in order")
        << Fields {{u"client_id"_s, u"Iv1.abc"_s}, {u"grant_type"_s, u"urn:ietf:params:oauth:grant-type:device_code"_s}}
        << QByteArray("client_id=Iv1.abc&grant_type=urn:ietf:params:oauth:grant-type:device_code");
    QTest::newRow("& = + # cannot split or alter a field")
        << Fields {{u"a&b"_s, u"x=1+2#3"_s}} << QByteArray("a%26b=x%3D1%2B2%233");
    QTest::newRow("non-ASCII as UTF-8") << Fields {{u"name"_s, u"café"_s}} << QByteArray("name=caf%C3%A9");
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
    QTest::newRow("JSON device code") << uR"({"device_code":"3584d8","user_code":"WDJB-MJHT"})"_s
                                      << uR"({"device_code":"<redacted>","user_code":"WDJB-MJHT"})"_s;
    QTest::newRow("JSON token with spaces and an escaped quote")
        << uR"({ "access_token" : "gho_a\"b", "scope": "repo" })"_s
        << uR"({ "access_token" : "<redacted>", "scope": "repo" })"_s;
    QTest::newRow("form body") << u"access_token=gho_1&refresh_token=ghr_2&scope=repo"_s
                               << u"access_token=<redacted>&refresh_token=<redacted>&scope=repo"_s;
    QTest::newRow("escaped key, value repeated elsewhere")
        << uR"({"device\u005fcode":"3584d835","note":"code 3584d835"})"_s
        << uR"({"device\u005fcode":"<redacted>","note":"code <redacted>"})"_s;
    QTest::newRow("no secret: unchanged")
        << uR"({"error":"slow_down","interval":10})"_s << uR"({"error":"slow_down","interval":10})"_s;
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
    environment.insert(u"TIDEWHELK_CLIENT_ID"_s, u"  "_s);
    QCOMPARE(resolveOAuthClientId(environment), builtIn);
    environment.insert(u"TIDEWHELK_CLIENT_ID"_s, u" Iv1.0a1b2c3d4e5f6a7b\n"_s);
    QCOMPARE(resolveOAuthClientId(environment), u"Iv1.0a1b2c3d4e5f6a7b"_s);
}

QTEST_GUILESS_MAIN(TestOAuthTexts)
#include "tst_oauthtexts.moc"

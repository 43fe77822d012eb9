#include "ConsoleCapture.h"
#include "SecretTool.h"
#include "storage/Keychain.h"

#include <QTest>

namespace {

const QString kService = QStringLiteral("com.marrowfen.tidewhelk.tests");
const QString kKey = QStringLiteral("test_secret");

} // namespace

class TestKeychain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void missingItemIsNoValueAndNoError();
    void textRoundTripsAsUtf8();
    void itemsOfOtherToolsAreFoundByAttributes();
    void stringThatCannotBeUtf8IsAConversionError();

private:
    ConsoleCapture m_console;
};

void TestKeychain::initTestCase()
{
    if (!SecretTool::inTestSession())
        QSKIP("Writes to the keyring: run it through scripts/with-test-session");
    QVERIFY2(SecretTool::waitForKeyring(), "the session's keyring did not come up unlocked");
}

void TestKeychain::init()
{
    SecretTool::clear(kService, kKey);
    m_console.clear();
}

void TestKeychain::missingItemIsNoValueAndNoError()
{
    const Keychain keychain(kService, m_console);
    const Keychain::Lookup lookup = keychain.string(kKey);
    QCOMPARE(lookup.status, KeychainStatus::success);
    QCOMPARE(lookup.value, std::nullopt);
    QCOMPARE(m_console.lines(), QStringList());
}

void TestKeychain::textRoundTripsAsUtf8()
{
    const Keychain keychain(kService, m_console);
    const QString text = QStringLiteral("\ufeffgh\u00f6_t\u20ac\U0001F511 \n");
    QCOMPARE(keychain.set(text, kKey, QStringLiteral("Tidewhelk test secret")), KeychainStatus::success);
    QCOMPARE(SecretTool::lookup(kService, kKey), text.toUtf8());
    QCOMPARE(keychain.string(kKey).value, text);
}

void TestKeychain::itemsOfOtherToolsAreFoundByAttributes()
{
    SecretTool::store(kService, kKey, "stored by hand");
    const Keychain keychain(kService, m_console);
    QCOMPARE(keychain.string(kKey).value, QStringLiteral("stored by hand"));

    QCOMPARE(keychain.set(QStringLiteral("replaced"), kKey, QStringLiteral("Tidewhelk test secret")),
        KeychainStatus::success);
    QCOMPARE(SecretTool::itemCount(kService, kKey), 1);
    QCOMPARE(SecretTool::lookup(kService, kKey), QByteArray("replaced"));
}

void TestKeychain::stringThatCannotBeUtf8IsAConversionError()
{
    const Keychain keychain(kService, m_console);
    const QString loneSurrogate = QStringLiteral("ghp_") + QChar(0xd800);
    QCOMPARE(
        keychain.set(loneSurrogate, kKey, QStringLiteral("Tidewhelk test secret")), KeychainStatus::conversionError);
    QCOMPARE(m_console.lines(), QStringList {QStringLiteral("failed to convert string to data")});
    QCOMPARE(SecretTool::itemCount(kService, kKey), 0);
}

QTEST_GUILESS_MAIN(TestKeychain)
#include "tst_keychain.moc"

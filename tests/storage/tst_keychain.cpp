#include "ConsoleCapture.h"
#include "SecretTool.h"
#include "SessionToken.h"
#include "storage/Keychain.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kService = u"com.marrowfen.tidewhelk.tests"_s;
const QString kKey = u"test_secret"_s;

} // namespace

class TestKeychain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void textRoundTripsAsUtf8();
    void stringThatCannotBeUtf8IsAConversionError();

private:
    ConsoleCapture m_console;
};

void TestKeychain::initTestCase()
{
    if (!SessionToken::inKeyringTestSession())
        QSKIP("Writes to the keyring: run it through scripts/with-test-session");
    QVERIFY2(SecretTool::waitForKeyring(), "the session's keyring did not come up unlocked");
}

void TestKeychain::init()
{
    SecretTool::clear(kService, kKey);
    m_console.clear();
}

void TestKeychain::textRoundTripsAsUtf8()
{
    const Keychain keychain(kService, m_console);
    const QString text = u"\ufeffgh\u00f6_t\u20ac\U0001F511 \n"_s;
    QCOMPARE(keychain.set(text, kKey, u"Tidewhelk test secret"_s), KeychainStatus::success);
    QCOMPARE(SecretTool::lookup(kService, kKey), text.toUtf8());
    QCOMPARE(keychain.string(kKey).value, text);
}

void TestKeychain::stringThatCannotBeUtf8IsAConversionError()
{
    const Keychain keychain(kService, m_console);
    const QString loneSurrogate = u"ghp_"_s + QChar(0xd800);
    QCOMPARE(keychain.set(loneSurrogate, kKey, u"Tidewhelk test secret"_s), KeychainStatus::conversionError);
    QCOMPARE(m_console.lines(), QStringList {u"failed to convert string to data"_s});
    QCOMPARE(SecretTool::itemCount(kService, kKey), 0);
}

QTEST_GUILESS_MAIN(TestKeychain)
#include "tst_keychain.moc"

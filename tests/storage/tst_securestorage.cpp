#include "ConsoleCapture.h"
#include "SecretTool.h"
#include "SessionToken.h"
#include "TestHome.h"
#include "VirtualScheduler.h"
#include "storage/Environment.h"
#include "storage/Keychain.h"
#include "storage/PreferenceStore.h"
#include "storage/SecureStorage.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kService = u"com.marrowfen.tidewhelk"_s;
const QString kTokenKey = u"github_token"_s;
const QString kOtherKey = u"refresh_token"_s;

} // namespace

class TestSecureStorage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void tokenComesFromTheCacheForLessThan300Seconds();
    void noTokenAnywhereIsReportedEachTimeAndClearsTheCache();
    void savingTwiceLeavesOneItemThatOtherToolsRead();
    void deleteWithoutItemCountsAsRemovedAndClearsTheFallback();
    void anotherInstanceKeepsItsCachedTokenAfterADelete();
    void itemThatIsNotUtf8FallsBackToThePreferenceCopy();
    void valuesLiveUnderTheirOwnKeysWithoutCache();
    void keychainTextRoundTripsAsUtf8();
    void keychainStringThatCannotBeUtf8IsAConversionError();

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<VirtualScheduler> m_scheduler;
    std::unique_ptr<PreferenceStore> m_preferences;
    ConsoleCapture m_console;
    std::unique_ptr<Keychain> m_keychain;
    Environment m_environment;
};

void TestSecureStorage::initTestCase()
{
    if (!SessionToken::inKeyringTestSession())
        QSKIP("Writes the token item of the keyring: run it through scripts/with-test-session");
    QVERIFY2(SecretTool::waitForKeyring(), "the session's keyring did not come up unlocked");
}

void TestSecureStorage::init()
{
    SecretTool::clear(kService, kTokenKey);
    SecretTool::clear(kService, kOtherKey);
    m_home = std::make_unique<TestHome>();
    m_scheduler = std::make_unique<VirtualScheduler>();
    m_preferences = std::make_unique<PreferenceStore>();
    m_console.clear();
    m_environment.scheduler = m_scheduler.get();
    m_environment.console = &m_console;
    m_environment.preferences = m_preferences.get();
    m_keychain = std::make_unique<Keychain>(kService, m_console);
    m_environment.secrets = m_keychain.get();
}

void TestSecureStorage::cleanup()
{
    m_preferences.reset();
    m_home.reset();
}

void TestSecureStorage::tokenComesFromTheCacheForLessThan300Seconds()
{
    SecureStorage saver(m_environment);
    saver.saveToken(u"ghp_first"_s);
    QCOMPARE(m_console.take(), QStringList {u"Token saved securely in Keychain."_s});

    SecureStorage reader(m_environment);
    QCOMPARE(reader.getToken(), u"ghp_first"_s);
    QCOMPARE(m_console.take(), QStringList {u"Retrieved token from Keychain successfully (length: 9)"_s});

    SecureStorage(m_environment).saveToken(u"ghp_second_token"_s);
    m_console.clear();
    m_scheduler->advance(299s);
    QCOMPARE(reader.getToken(), u"ghp_first"_s);
    QCOMPARE(saver.getToken(), u"ghp_first"_s);
    QCOMPARE(m_console.take(), QStringList());

    m_scheduler->advance(1s);
    QCOMPARE(reader.getToken(), u"ghp_second_token"_s);
    QCOMPARE(m_console.take(), QStringList {u"Retrieved token from Keychain successfully (length: 16)"_s});
}

void TestSecureStorage::noTokenAnywhereIsReportedEachTimeAndClearsTheCache()
{
    SecureStorage storage(m_environment);
    QCOMPARE(storage.getToken(), std::nullopt);
    QCOMPARE(storage.getToken(), std::nullopt);
    QCOMPARE(m_console.take(), QStringList(2, u"No token found in Keychain or UserDefaults"_s));

    // A token found absent is not cached: one saved elsewhere right after is read at once.
    SecureStorage(m_environment).saveToken(u"ghp_later"_s);
    m_console.clear();
    QCOMPARE(storage.getToken(), u"ghp_later"_s);
    QCOMPARE(m_console.take(), QStringList {u"Retrieved token from Keychain successfully (length: 9)"_s});
}

void TestSecureStorage::savingTwiceLeavesOneItemThatOtherToolsRead()
{
    // A copy left by an earlier save that fell back stays where it is.
    m_preferences->setString(kTokenKey, u"ghp_old_fallback"_s);
    SecureStorage storage(m_environment);
    storage.saveToken(u"ghp_one"_s);
    storage.saveToken(u"ghp_two"_s);
    QCOMPARE(m_console.take(), QStringList(2, u"Token saved securely in Keychain."_s));

    QCOMPARE(SecretTool::itemCount(kService, kTokenKey), 1);
    QCOMPARE(SecretTool::lookup(kService, kTokenKey), QByteArray("ghp_two"));
    QVERIFY(SecretTool::search(kService, kTokenKey).contains("label = Tidewhelk GitHub token\n"));
    QCOMPARE(m_preferences->string(kTokenKey), u"ghp_old_fallback"_s);
}

void TestSecureStorage::deleteWithoutItemCountsAsRemovedAndClearsTheFallback()
{
    m_preferences->setString(kTokenKey, u"ghp_fallback"_s);
    SecureStorage storage(m_environment);
    storage.deleteToken();
    QCOMPARE(m_console.take(),
        (QStringList {u"Token removed from Keychain."_s, u"Token removed from UserDefaults fallback."_s}));
    QCOMPARE(m_preferences->string(kTokenKey), std::nullopt);
}

void TestSecureStorage::anotherInstanceKeepsItsCachedTokenAfterADelete()
{
    SecureStorage deleter(m_environment);
    SecureStorage reader(m_environment);
    deleter.saveToken(u"ghp_shared"_s);
    QCOMPARE(reader.getToken(), u"ghp_shared"_s);
    m_scheduler->advance(10s);
    deleter.deleteToken();
    QCOMPARE(SecretTool::itemCount(kService, kTokenKey), 0);
    m_console.clear();

    QCOMPARE(reader.getToken(), u"ghp_shared"_s);
    QCOMPARE(m_console.take(), QStringList());
    QCOMPARE(deleter.getToken(), std::nullopt);
    QCOMPARE(m_console.take(), QStringList {u"No token found in Keychain or UserDefaults"_s});

    m_scheduler->advance(290s);
    QCOMPARE(reader.getToken(), std::nullopt);
    QCOMPARE(m_console.take(), QStringList {u"No token found in Keychain or UserDefaults"_s});
}

void TestSecureStorage::itemThatIsNotUtf8FallsBackToThePreferenceCopy()
{
    QVERIFY(SecretTool::storeBytes(kService, kTokenKey, QByteArray("ghp_\xc3\x28\xff", 7)));
    m_preferences->setString(kTokenKey, u"ghp_fallback_copy"_s);

    SecureStorage storage(m_environment);
    QCOMPARE(storage.getToken(), u"ghp_fallback_copy"_s);
    QCOMPARE(m_console.take(),
        (QStringList {u"failed to convert data to string"_s,
            u"Error retrieving token from Keychain: A conversion error has occurred."_s,
            u"Retrieved token from UserDefaults fallback (length: 17)"_s}));
}

void TestSecureStorage::valuesLiveUnderTheirOwnKeysWithoutCache()
{
    SecureStorage storage(m_environment);
    storage.setValue(u"r1"_s, kOtherKey);
    QCOMPARE(m_console.take(), QStringList {u"Value stored securely in Keychain for key: refresh_token"_s});
    QCOMPARE(SecretTool::lookup(kService, kOtherKey), QByteArray("r1"));
    QCOMPARE(SecretTool::itemCount(kService, kTokenKey), 0);

    QCOMPARE(storage.getValue(kOtherKey), u"r1"_s);
    SecretTool::store(kService, kOtherKey, "r2");
    QCOMPARE(storage.getValue(kOtherKey), u"r2"_s);

    // No item: the preference copy, or nothing.
    SecretTool::clear(kService, kOtherKey);
    QCOMPARE(storage.getValue(kOtherKey), std::nullopt);
    m_preferences->setString(kOtherKey, u"r0"_s);
    QCOMPARE(storage.getValue(kOtherKey), u"r0"_s);
    QCOMPARE(m_console.take(), QStringList());
}

void TestSecureStorage::keychainTextRoundTripsAsUtf8()
{
    Keychain keychain(kService, m_console);
    const QString text = u"\ufeffgh\u00f6_t\u20ac\U0001F511 \n"_s;
    QCOMPARE(keychain.set(text, kOtherKey, u"Tidewhelk test secret"_s), KeychainStatus::success);
    QCOMPARE(SecretTool::lookup(kService, kOtherKey), text.toUtf8());
    QCOMPARE(keychain.string(kOtherKey).value, text);
}

void TestSecureStorage::keychainStringThatCannotBeUtf8IsAConversionError()
{
    Keychain keychain(kService, m_console);
    const QString loneSurrogate = u"ghp_"_s + QChar(0xd800);
    QCOMPARE(keychain.set(loneSurrogate, kOtherKey, u"Tidewhelk test secret"_s), KeychainStatus::conversionError);
    QCOMPARE(m_console.lines(), QStringList {u"failed to convert string to data"_s});
    QCOMPARE(SecretTool::itemCount(kService, kOtherKey), 0);
}

QTEST_GUILESS_MAIN(TestSecureStorage)
#include "tst_securestorage.moc"

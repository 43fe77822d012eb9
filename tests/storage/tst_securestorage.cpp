#include "ConsoleCapture.h"
#include "SecretTool.h"
#include "TestHome.h"
#include "VirtualScheduler.h"
#include "core/Environment.h"
#include "storage/PreferenceStore.h"
#include "storage/SecureStorage.h"

#include <QTest>

#include <memory>

using namespace std::chrono_literals;

namespace {

const QString kService = QStringLiteral("com.marrowfen.tidewhelk");
const QString kTokenKey = QStringLiteral("github_token");
const QString kOtherKey = QStringLiteral("refresh_token");

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

private:
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<VirtualScheduler> m_scheduler;
    std::unique_ptr<PreferenceStore> m_preferences;
    ConsoleCapture m_console;
    Environment m_environment;
};

void TestSecureStorage::initTestCase()
{
    if (!SecretTool::inTestSession())
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
}

void TestSecureStorage::cleanup()
{
    m_preferences.reset();
    m_home.reset();
}

void TestSecureStorage::tokenComesFromTheCacheForLessThan300Seconds()
{
    SecureStorage saver(m_environment);
    saver.saveToken(QStringLiteral("ghp_first"));
    QCOMPARE(m_console.take(), QStringList {QStringLiteral("Token saved securely in Keychain.")});

    SecureStorage reader(m_environment);
    QCOMPARE(reader.getToken(), QStringLiteral("ghp_first"));
    QCOMPARE(m_console.take(), QStringList {QStringLiteral("Retrieved token from Keychain successfully (length: 9)")});

    SecureStorage(m_environment).saveToken(QStringLiteral("ghp_second_token"));
    m_console.clear();
    m_scheduler->advance(299s);
    QCOMPARE(reader.getToken(), QStringLiteral("ghp_first"));
    QCOMPARE(saver.getToken(), QStringLiteral("ghp_first"));
    QCOMPARE(m_console.take(), QStringList());

    m_scheduler->advance(1s);
    QCOMPARE(reader.getToken(), QStringLiteral("ghp_second_token"));
    QCOMPARE(m_console.take(), QStringList {QStringLiteral("Retrieved token from Keychain successfully (length: 16)")});
}

void TestSecureStorage::noTokenAnywhereIsReportedEachTimeAndClearsTheCache()
{
    SecureStorage storage(m_environment);
    QCOMPARE(storage.getToken(), std::nullopt);
    QCOMPARE(storage.getToken(), std::nullopt);
    QCOMPARE(m_console.take(), QStringList(2, QStringLiteral("No token found in Keychain or UserDefaults")));

    // A token found absent is not cached: one saved elsewhere right after is read at once.
    SecureStorage(m_environment).saveToken(QStringLiteral("ghp_later"));
    m_console.clear();
    QCOMPARE(storage.getToken(), QStringLiteral("ghp_later"));
    QCOMPARE(m_console.take(), QStringList {QStringLiteral("Retrieved token from Keychain successfully (length: 9)")});
}

void TestSecureStorage::savingTwiceLeavesOneItemThatOtherToolsRead()
{
    // A copy left by an earlier save that fell back stays where it is.
    m_preferences->setString(kTokenKey, QStringLiteral("ghp_old_fallback"));
    SecureStorage storage(m_environment);
    storage.saveToken(QStringLiteral("ghp_one"));
    storage.saveToken(QStringLiteral("ghp_two"));
    QCOMPARE(m_console.take(), QStringList(2, QStringLiteral("Token saved securely in Keychain.")));

    QCOMPARE(SecretTool::itemCount(kService, kTokenKey), 1);
    QCOMPARE(SecretTool::lookup(kService, kTokenKey), QByteArray("ghp_two"));
    QVERIFY(SecretTool::search(kService, kTokenKey).contains("label = Tidewhelk GitHub token\n"));
    QCOMPARE(m_preferences->string(kTokenKey), QStringLiteral("ghp_old_fallback"));
}

void TestSecureStorage::deleteWithoutItemCountsAsRemovedAndClearsTheFallback()
{
    m_preferences->setString(kTokenKey, QStringLiteral("ghp_fallback"));
    SecureStorage storage(m_environment);
    storage.deleteToken();
    QCOMPARE(m_console.take(),
        (QStringList {QStringLiteral("Token removed from Keychain."),
            QStringLiteral("Token removed from UserDefaults fallback.")}));
    QCOMPARE(m_preferences->string(kTokenKey), std::nullopt);
}

void TestSecureStorage::anotherInstanceKeepsItsCachedTokenAfterADelete()
{
    SecureStorage deleter(m_environment);
    SecureStorage reader(m_environment);
    deleter.saveToken(QStringLiteral("ghp_shared"));
    QCOMPARE(reader.getToken(), QStringLiteral("ghp_shared"));
    m_scheduler->advance(10s);
    deleter.deleteToken();
    QCOMPARE(SecretTool::itemCount(kService, kTokenKey), 0);
    m_console.clear();

    QCOMPARE(reader.getToken(), QStringLiteral("ghp_shared"));
    QCOMPARE(m_console.take(), QStringList());
    QCOMPARE(deleter.getToken(), std::nullopt);
    QCOMPARE(m_console.take(), QStringList {QStringLiteral("No token found in Keychain or UserDefaults")});

    m_scheduler->advance(290s);
    QCOMPARE(reader.getToken(), std::nullopt);
    QCOMPARE(m_console.take(), QStringList {QStringLiteral("No token found in Keychain or UserDefaults")});
}

void TestSecureStorage::itemThatIsNotUtf8FallsBackToThePreferenceCopy()
{
    QVERIFY(SecretTool::storeBytes(kService, kTokenKey, QByteArray("ghp_\xc3\x28\xff", 7)));
    m_preferences->setString(kTokenKey, QStringLiteral("ghp_fallback_copy"));

    SecureStorage storage(m_environment);
    QCOMPARE(storage.getToken(), QStringLiteral("ghp_fallback_copy"));
    QCOMPARE(m_console.take(),
        (QStringList {QStringLiteral("failed to convert data to string"),
            QStringLiteral("Error retrieving token from Keychain: A conversion error has occurred."),
            QStringLiteral("Retrieved token from UserDefaults fallback (length: 17)")}));
}

void TestSecureStorage::valuesLiveUnderTheirOwnKeysWithoutCache()
{
    SecureStorage storage(m_environment);
    storage.setValue(QStringLiteral("r1"), kOtherKey);
    QCOMPARE(
        m_console.take(), QStringList {QStringLiteral("Value stored securely in Keychain for key: refresh_token")});
    QCOMPARE(SecretTool::lookup(kService, kOtherKey), QByteArray("r1"));
    QCOMPARE(SecretTool::itemCount(kService, kTokenKey), 0);

    QCOMPARE(storage.getValue(kOtherKey), QStringLiteral("r1"));
    SecretTool::store(kService, kOtherKey, "r2");
    QCOMPARE(storage.getValue(kOtherKey), QStringLiteral("r2"));

    // No item: the preference copy, or nothing.
    SecretTool::clear(kService, kOtherKey);
    QCOMPARE(storage.getValue(kOtherKey), std::nullopt);
    m_preferences->setString(kOtherKey, QStringLiteral("r0"));
    QCOMPARE(storage.getValue(kOtherKey), QStringLiteral("r0"));
    QCOMPARE(m_console.take(), QStringList());
}

QTEST_GUILESS_MAIN(TestSecureStorage)
#include "tst_securestorage.moc"

#include "ConsoleCapture.h"
#include "SecretTool.h"
#include "SessionToken.h"
#include "TestHome.h"
#include "VirtualScheduler.h"
#include "storage/AccountBook.h"
#include "storage/Environment.h"
#include "storage/Keychain.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceStore.h"
#include "storage/SecureStorage.h"

#include <QDir>
#include <QTest>
#include <QTimeZone>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kService = u"com.marrowfen.tidewhelk"_s;
const QString kTokenKey = u"github_token"_s;
const GitHubEndpoints kPublic;
const GitHubEndpoints kEnterprise(u"https://github.example.com/api/v3"_s, u"https://github.example.com"_s);

// A desktop without a Secret Service: every call fails, as Keychain reports it then.
class RefusingSecretStore final : public SecretStore
{
public:
    Lookup string(const QString&) override { return {Status::notAvailable, std::nullopt}; }
    Status set(const QString&, const QString&, const QString&) override { return Status::notAvailable; }
    Status remove(const QString&) override { return Status::notAvailable; }
};

// One account's stores, as a session of it uses them.
struct AccountStores
{
    std::unique_ptr<PreferenceStore> ownPreferences;
    std::unique_ptr<SecretStore> secrets;
    Environment environment;
};

// Every key an account keeps, with a value that tells the account apart.
void writeEveryKey(PreferenceStore& store, const QString& mark)
{
    const QDateTime pulled = QDateTime::fromSecsSinceEpoch(mark.size() * 1000, QTimeZone::utc());
    for (const QLatin1String key : {PreferenceKeys::notificationsCacheKey, PreferenceKeys::readNotificationsKey,
             PreferenceKeys::favoritesKey, PreferenceKeys::issuesCacheKey, PreferenceKeys::notificationViews})
        store.setData(key, mark.toUtf8() + "-" + key.data());
    store.setBool(PreferenceKeys::autoReload, mark.size() % 2 == 0);
    store.setDate(PreferenceKeys::lastPullDate, pulled);
    store.setDate(PreferenceKeys::lastPullDateAssignments, pulled.addSecs(1));
}

QMap<QString, QVariant> everyKey(const PreferenceStore& store)
{
    QMap<QString, QVariant> values;
    for (const QLatin1String key :
        {PreferenceKeys::notificationsCacheKey, PreferenceKeys::readNotificationsKey, PreferenceKeys::favoritesKey,
            PreferenceKeys::issuesCacheKey, PreferenceKeys::notificationViews, PreferenceKeys::autoReload,
            PreferenceKeys::lastPullDate, PreferenceKeys::lastPullDateAssignments, PreferenceKeys::githubToken})
        values.insert(key, store.object(key));
    return values;
}

} // namespace

class TestAccountBook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void keysAndTokensNeverMix_data();
    void keysAndTokensNeverMix();
    void removingAnAccountLeavesEveryKeyOfTheOthers();
    void removingTheFurtherAccountsLeavesTheFirst();
    void profileOfOneAccountOpensWithEverythingInPlace();
    void accountsOfOneFileKeepTheirSnapshotsCurrent();
    void addingFindsOrAppendsAccounts();
    void select_data();
    void select();
    void damagedListIsIgnoredAndReported_data();
    void damagedListIsIgnoredAndReported();

private:
    AccountStores storesOf(const Account& account, bool secretService);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<VirtualScheduler> m_scheduler;
    std::unique_ptr<PreferenceStore> m_preferences;
    ConsoleCapture m_console;
};

void TestAccountBook::initTestCase()
{
    if (!SessionToken::inKeyringTestSession())
        QSKIP("Writes the token items of the keyring: run it through scripts/with-test-session");
    QVERIFY2(SecretTool::waitForKeyring(), "the session's keyring did not come up unlocked");
}

void TestAccountBook::init()
{
    // Clears the further accounts' items too: they carry these attributes and more.
    SecretTool::clear(kService, kTokenKey);
    m_home = std::make_unique<TestHome>();
    m_scheduler = std::make_unique<VirtualScheduler>();
    m_preferences = std::make_unique<PreferenceStore>();
    m_console.clear();
}

void TestAccountBook::cleanup()
{
    m_preferences.reset();
    m_home.reset();
    SecretTool::clear(kService, kTokenKey);
}

AccountStores TestAccountBook::storesOf(const Account& account, bool secretService)
{
    AccountStores stores;
    PreferenceStore* preferences = m_preferences.get();
    if (!account.isFirst()) {
        stores.ownPreferences = std::make_unique<PreferenceStore>(m_preferences->filePath(), account.group);
        preferences = stores.ownPreferences.get();
    }
    if (!secretService)
        stores.secrets = std::make_unique<RefusingSecretStore>();
    else if (account.isFirst())
        stores.secrets = std::make_unique<Keychain>(kService, m_console);
    else
        stores.secrets
            = std::make_unique<Keychain>(kService, m_console, Keychain::Owner {account.host(), account.login});
    stores.environment.scheduler = m_scheduler.get();
    stores.environment.console = &m_console;
    stores.environment.preferences = preferences;
    stores.environment.secrets = stores.secrets.get();
    return stores;
}

void TestAccountBook::keysAndTokensNeverMix_data()
{
    QTest::addColumn<bool>("secretService");
    QTest::newRow("tokens in the Secret Service") << true;
    QTest::newRow("tokens in the preference file") << false;
}

void TestAccountBook::keysAndTokensNeverMix()
{
    QFETCH(bool, secretService);
    AccountBook book(*m_preferences, kPublic, m_console);
    const Account octocat = book.add(u"octocat"_s, kPublic);
    const Account mona = book.add(u"mona"_s, kEnterprise);
    // The same login on another server is another account.
    const Account monaAtHome = book.add(u"mona"_s, kPublic);
    QVERIFY(octocat.isFirst());
    QCOMPARE(mona.group, u"account2"_s);
    QCOMPARE(monaAtHome.group, u"account3"_s);
    {
        const QList<Account> accounts {octocat, mona, monaAtHome};
        for (const Account& account : accounts) {
            AccountStores stores = storesOf(account, secretService);
            writeEveryKey(*stores.environment.preferences, account.name());
            SecureStorage(stores.environment).saveToken(u"token of "_s + account.name());
        }
    }
    m_preferences = std::make_unique<PreferenceStore>();

    const QList<Account> accounts = AccountBook(*m_preferences, kPublic, m_console).accounts();
    QCOMPARE(accounts.size(), 3);
    for (const Account& account : accounts) {
        AccountStores stores = storesOf(account, secretService);
        PreferenceStore expected(m_home->path() + u"/expected.ini"_s);
        writeEveryKey(expected, account.name());
        if (!secretService)
            expected.setString(PreferenceKeys::githubToken, u"token of "_s + account.name());
        QCOMPARE(everyKey(*stores.environment.preferences), everyKey(expected));
        QCOMPARE(SecureStorage(stores.environment).getToken(), u"token of "_s + account.name());
    }
    if (secretService) {
        QCOMPARE(SecretTool::lookup(kService, kTokenKey).isEmpty(), false);
        QCOMPARE(SecretTool::run({u"lookup"_s, u"service"_s, kService, u"account"_s, kTokenKey, u"server"_s,
                     u"github.example.com"_s, u"login"_s, u"mona"_s}),
            "token of mona@github.example.com");
    }
}

void TestAccountBook::removingAnAccountLeavesEveryKeyOfTheOthers()
{
    AccountBook book(*m_preferences, kPublic, m_console);
    const QList<Account> accounts {
        book.add(u"octocat"_s, kPublic), book.add(u"mona"_s, kEnterprise), book.add(u"hubot"_s, kEnterprise)};
    QMap<QString, QMap<QString, QVariant>> before;
    for (const Account& account : accounts) {
        AccountStores stores = storesOf(account, true);
        writeEveryKey(*stores.environment.preferences, account.name());
        SecureStorage(stores.environment).saveToken(u"token of "_s + account.name());
        stores.environment.preferences->flush();
        before.insert(account.name(), everyKey(*stores.environment.preferences));
    }

    {
        AccountStores removed = storesOf(accounts[1], true);
        book.remove(accounts[1], *removed.secrets);
    }
    m_preferences = std::make_unique<PreferenceStore>();
    AccountBook reopened(*m_preferences, kPublic, m_console);
    QCOMPARE(reopened.accounts().size(), 2);
    QCOMPARE(reopened.accounts().last().name(), u"hubot@github.example.com"_s);
    for (const Account& account : {accounts[0], accounts[2]}) {
        AccountStores stores = storesOf(account, true);
        QCOMPARE(everyKey(*stores.environment.preferences), before.value(account.name()));
        QCOMPARE(SecureStorage(stores.environment).getToken(), u"token of "_s + account.name());
    }
    AccountStores gone = storesOf(accounts[1], true);
    QCOMPARE(everyKey(*gone.environment.preferences), everyKey(PreferenceStore(m_home->path() + u"/none.ini"_s)));
    QCOMPARE(gone.secrets->string(kTokenKey).value, std::nullopt);
    QVERIFY(!m_preferences->childGroups().contains(u"account2"_s));
    QVERIFY(!QFile::exists(gone.environment.preferences->snapshotPath()));
}

void TestAccountBook::removingTheFurtherAccountsLeavesTheFirst()
{
    AccountBook book(*m_preferences, kPublic, m_console, [this](const Account& account) {
        return std::make_unique<Keychain>(kService, m_console, Keychain::Owner {account.host(), account.login});
    });
    const QList<Account> accounts {
        book.add(u"octocat"_s, kPublic), book.add(u"mona"_s, kEnterprise), book.add(u"hubot"_s, kEnterprise)};
    for (const Account& account : accounts) {
        AccountStores stores = storesOf(account, true);
        SecureStorage(stores.environment).saveToken(u"token of "_s + account.name());
    }

    book.removeFurtherAccounts();
    QCOMPARE(book.accounts().size(), 1);
    QCOMPARE(SecretTool::itemCount(kService, kTokenKey), 1);
    AccountStores first = storesOf(accounts.first(), true);
    QCOMPARE(SecureStorage(first.environment).getToken(), u"token of octocat@github.com"_s);
}

void TestAccountBook::profileOfOneAccountOpensWithEverythingInPlace()
{
    // A profile of the time before accounts: top-level keys, the token's item with the
    // service and account attributes only.
    QDir().mkpath(QFileInfo(m_preferences->filePath()).path());
    QFile file(m_preferences->filePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\nautoReload=true\nreadNotificationsKey=@ByteArray([7])\nremoveReadElsewhere=false\n");
    file.close();
    SecretTool::store(kService, kTokenKey, "ghp_old");
    m_preferences = std::make_unique<PreferenceStore>();

    AccountBook book(*m_preferences, kPublic, m_console);
    const QList<Account> accounts = book.accounts();
    QCOMPARE(accounts.size(), 1);
    QCOMPARE(accounts.first().name(), u"github.com"_s);
    AccountStores stores = storesOf(accounts.first(), true);
    QCOMPARE(stores.environment.preferences->boolValue(PreferenceKeys::autoReload), true);
    QCOMPARE(stores.environment.preferences->data(PreferenceKeys::readNotificationsKey), "[7]");
    QCOMPARE(SecureStorage(stores.environment).getToken(), u"ghp_old"_s);
    // A further account does not see the first one's item.
    const Account mona = book.add(u"mona"_s, kEnterprise);
    QCOMPARE(storesOf(mona, true).secrets->string(kTokenKey).value, std::nullopt);
    QVERIFY(m_console.linesStartingWith(u"⚠️"_s).isEmpty());
}

void TestAccountBook::accountsOfOneFileKeepTheirSnapshotsCurrent()
{
    const Account mona = AccountBook(*m_preferences, kPublic, m_console).add(u"mona"_s, kEnterprise);
    {
        const std::unique_ptr<PreferenceStore> further
            = AccountBook(*m_preferences, kPublic, m_console).preferencesOf(mona);
        // Each writes after the other, the first account last and first.
        writeEveryKey(*m_preferences, u"first"_s);
        m_preferences->flush();
        writeEveryKey(*further, u"further"_s);
        further->flush();
        m_preferences->setBool(PreferenceKeys::removeReadElsewhere, true);
        m_preferences->flush();
    }
    m_preferences = std::make_unique<PreferenceStore>();
    PreferenceStore further(m_preferences->filePath(), mona.group);
    QCOMPARE(m_preferences->takeSnapshotProblem(), std::nullopt);
    QCOMPARE(further.takeSnapshotProblem(), std::nullopt);
    PreferenceStore expected(m_home->path() + u"/expected.ini"_s);
    writeEveryKey(expected, u"further"_s);
    QCOMPARE(everyKey(further), everyKey(expected));
    QCOMPARE(m_preferences->boolValue(PreferenceKeys::removeReadElsewhere), true);
}

void TestAccountBook::addingFindsOrAppendsAccounts()
{
    AccountBook book(*m_preferences, kEnterprise, m_console);
    // The first account is on its server, and learns its login from the first add there.
    QCOMPARE(book.add(u"mona"_s, kEnterprise).isFirst(), true);
    QCOMPARE(book.add(u"MONA"_s, kEnterprise).login, u"mona"_s);
    QCOMPARE(book.add(u"hubot"_s, kEnterprise).group, u"account2"_s);
    QCOMPARE(book.add(u"Hubot"_s, kEnterprise).group, u"account2"_s);
    // Pointed at another server, the first account no longer knows its login.
    QCOMPARE(AccountBook(*m_preferences, kPublic, m_console).first().name(), u"github.com"_s);
    // A group some lost list left in the file is not handed out again.
    PreferenceStore orphan(m_preferences->filePath(), u"account3"_s);
    orphan.setBool(PreferenceKeys::autoReload, true);
    orphan.flush();
    QCOMPARE(book.add(u"octocat"_s, kPublic).group, u"account4"_s);

    QStringList names;
    for (const Account& account : book.accounts())
        names.append(account.name());
    QCOMPARE(
        names, (QStringList {u"mona@github.example.com"_s, u"hubot@github.example.com"_s, u"octocat@github.com"_s}));
}

void TestAccountBook::select_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("problem");

    const QString list = u"octocat@github.com, mona@github.example.com, octocat@github.example.com"_s;
    QTest::newRow("login at host") << u"octocat@github.example.com"_s << u"octocat@github.example.com"_s << QString();
    QTest::newRow("any case") << u"Mona@GitHub.Example.com"_s << u"mona@github.example.com"_s << QString();
    QTest::newRow("unique login") << u"mona"_s << u"mona@github.example.com"_s << QString();
    QTest::newRow("host of one account") << u"github.com"_s << u"octocat@github.com"_s << QString();
    QTest::newRow("login on two servers")
        << u"octocat"_s << QString() << u"\"octocat\" names more than one account; give LOGIN@HOST, one of "_s + list;
    QTest::newRow("host of two accounts")
        << u"github.example.com"_s << QString()
        << u"\"github.example.com\" names more than one account; give LOGIN@HOST, one of "_s + list;
    QTest::newRow("unknown login") << u"hubot"_s << QString() << u"no account is \"hubot\"; the accounts are "_s + list;
    QTest::newRow("login on another server")
        << u"mona@github.com"_s << QString() << u"no account is \"mona@github.com\"; the accounts are "_s + list;
}

void TestAccountBook::select()
{
    QFETCH(QString, selector);
    QFETCH(QString, selected);
    QFETCH(QString, problem);
    AccountBook book(*m_preferences, kPublic, m_console);
    book.add(u"octocat"_s, kPublic);
    book.add(u"mona"_s, kEnterprise);
    book.add(u"octocat"_s, kEnterprise);

    const AccountBook::Selection selection = book.select(selector);
    QCOMPARE(selection.account ? selection.account->name() : QString(), selected);
    QCOMPARE(selection.problem, problem);
}

void TestAccountBook::damagedListIsIgnoredAndReported_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("lines");

    // In the order of the lines, which name the keys in alphabetical order.
    const QByteArray mona = R"({"apiBase":"https://github.example.com/api/v3","group":"account2",)"
                            R"("login":"mona","webBase":"https://github.example.com"})";
    QTest::newRow("not JSON") << QByteArray("[{\"login\":") << QStringList {u"github.com"_s}
                              << QStringList {
                                     u"⚠️ The stored account list is damaged: only the first account is used"_s};
    QTest::newRow("not a list") << QByteArray("{}") << QStringList {u"github.com"_s}
                                << QStringList {
                                       u"⚠️ The stored account list is damaged: only the first account is used"_s};
    QTest::newRow("entry without login")
        << QByteArray("[" + mona + R"(,{"apiBase":"https://h/api/v3","webBase":"https://h","group":"account3"}])")
        << QStringList {u"github.com"_s, u"mona@github.example.com"_s}
        << QStringList {u"⚠️ A damaged entry of the stored account list is ignored: "_s
                        u"{\"apiBase\":\"https://h/api/v3\",\"group\":\"account3\",\"webBase\":\"https://h\"}"_s};
    QTest::newRow("entry naming a top-level group")
        << QByteArray(R"([{"login":"x","apiBase":"https://h/api/v3","webBase":"https://h","group":"General"}])")
        << QStringList {u"github.com"_s}
        << QStringList {
               u"⚠️ A damaged entry of the stored account list is ignored: "_s
               u"{\"apiBase\":\"https://h/api/v3\",\"group\":\"General\",\"login\":\"x\",\"webBase\":\"https://h\"}"_s};
    QTest::newRow("two entries of one group")
        << QByteArray("[" + mona + "," + mona + ", 7]") << QStringList {u"github.com"_s, u"mona@github.example.com"_s}
        << QStringList {u"⚠️ A damaged entry of the stored account list is ignored: "_s + QString::fromUtf8(mona),
               u"⚠️ A damaged entry of the stored account list is ignored: {}"_s};
}

void TestAccountBook::damagedListIsIgnoredAndReported()
{
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, names);
    QFETCH(QStringList, lines);
    m_preferences->setData(PreferenceKeys::accounts, stored);

    QStringList listed;
    for (const Account& account : AccountBook(*m_preferences, kPublic, m_console).accounts())
        listed.append(account.name());
    QCOMPARE(listed, names);
    QCOMPARE(m_console.take(), lines);
}

QTEST_GUILESS_MAIN(TestAccountBook)
#include "tst_accountbook.moc"

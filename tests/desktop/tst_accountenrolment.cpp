#include "GitHubTestEnvironment.h"
#include "SessionToken.h"
#include "TestAccountDirectory.h"
#include "Wait.h"
#include "desktop/AccountEnrolment.h"
#include "storage/SecureStorage.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kFirstToken = u"ghp_first"_s;
const QString kMonaToken = u"ghp_mona"_s;

} // namespace

// Adding the account a token belongs to, against two fake GitHubs and the test session's
// keyring: what is stored where, which server sees which token, and nothing stored on failure.
class TestAccountEnrolment : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void storesTheTokenAsItsAccounts_data();
    void storesTheTokenAsItsAccounts();
    void failureStoresNothing_data();
    void failureStoresNothing();

private:
    struct Outcome
    {
        std::optional<Account> account;
        std::optional<AccountEnrolment::Failure> failure;
    };
    Outcome enrol(const QString& serverText, const QString& token);
    QString enterpriseAddress() const { return m_enterprise->apiBaseUrl().toString(); }

    std::unique_ptr<GitHubTestEnvironment> m_world;
    std::unique_ptr<TestAccountDirectory> m_directory;
    std::unique_ptr<FakeGitHub> m_enterprise;
};

void TestAccountEnrolment::init()
{
    if (!SessionToken::inKeyringTestSession())
        QSKIP("Writes token items of the keyring: run it through scripts/with-test-session");
    m_world = std::make_unique<GitHubTestEnvironment>(u"/api/v3"_s);
    m_directory = std::make_unique<TestAccountDirectory>(*m_world);
    m_enterprise = std::make_unique<FakeGitHub>();
    m_enterprise->setApiPrefix(u"/api/v3"_s);
    QVERIFY(m_enterprise->listen());
    m_enterprise->addToken(kMonaToken, u"mona"_s);
}

void TestAccountEnrolment::cleanup()
{
    m_directory.reset();
    if (m_world)
        m_world->signOut();
    m_world.reset();
    m_enterprise.reset();
}

TestAccountEnrolment::Outcome TestAccountEnrolment::enrol(const QString& serverText, const QString& token)
{
    const std::optional<ServerAddress> server = ServerAddress::parse(serverText);
    if (!server)
        qFatal("not a server: %s", qPrintable(serverText));
    AccountEnrolment enrolment(*m_directory, *server, token);
    Outcome outcome;
    connect(&enrolment, &AccountEnrolment::added, this, [&](const Account& account) { outcome.account = account; });
    connect(&enrolment, &AccountEnrolment::failed, this,
        [&](AccountEnrolment::Failure failure, const QString&) { outcome.failure = failure; });
    enrolment.start();
    if (!waitUntil([&] { return outcome.account || outcome.failure; }))
        qFatal("the enrolment reported nothing");
    return outcome;
}

void TestAccountEnrolment::storesTheTokenAsItsAccounts_data()
{
    QTest::addColumn<QString>("server"); // "first" or "enterprise"
    QTest::addColumn<bool>("firstLoginKnown");
    QTest::addColumn<QString>("tokenOwner");
    QTest::addColumn<QStringList>("accounts"); // logins, first account first
    QTest::addColumn<QString>("firstToken"); // stored afterwards

    QTest::newRow("another server: a further account")
        << u"enterprise"_s << true << u"mona"_s << QStringList {u"octocat"_s, u"mona"_s} << kFirstToken;
    QTest::newRow("first server, another user: a further account")
        << u"first"_s << true << u"hubot"_s << QStringList {u"octocat"_s, u"hubot"_s} << kFirstToken;
    QTest::newRow("first server, login not read yet, another user: learnt first")
        << u"first"_s << false << u"hubot"_s << QStringList {u"octocat"_s, u"hubot"_s} << kFirstToken;
    QTest::newRow("first server, login not read yet, the first user: replaces its token")
        << u"first"_s << false << u"octocat"_s << QStringList {u"octocat"_s} << u"ghp_new"_s;
}

void TestAccountEnrolment::storesTheTokenAsItsAccounts()
{
    QFETCH(QString, server);
    QFETCH(bool, firstLoginKnown);
    QFETCH(QString, tokenOwner);
    QFETCH(QStringList, accounts);
    QFETCH(QString, firstToken);
    m_world->server().addToken(kFirstToken, u"octocat"_s);
    m_world->signIn(kFirstToken);
    if (firstLoginKnown)
        m_directory->book().add(u"octocat"_s, m_world->environment().endpoints);
    const bool onEnterprise = server == u"enterprise"_s;
    const QString token = onEnterprise ? kMonaToken : u"ghp_new"_s;
    if (!onEnterprise)
        m_world->server().addToken(token, tokenOwner);
    const QString address = onEnterprise ? enterpriseAddress() : m_world->server().apiBaseUrl().toString();

    const Outcome outcome = enrol(address, token);
    QVERIFY(outcome.account);
    QCOMPARE(outcome.account->login, tokenOwner);
    QStringList logins;
    for (const Account& account : m_directory->accounts())
        logins << account.login;
    QCOMPARE(logins, accounts);
    QCOMPARE(SecureStorage(m_directory->environmentOf(*outcome.account)).getToken(), token);
    QCOMPARE(SecureStorage(m_world->environment()).getToken(), firstToken);
    // Each server only ever saw its own tokens.
    for (const RecordedRequest& record : m_enterprise->requests())
        QCOMPARE(record.request.header("Authorization"), "token " + kMonaToken.toUtf8());
    for (const RecordedRequest& record : m_world->server().requests())
        QVERIFY(record.request.header("Authorization") != "token " + kMonaToken.toUtf8());
    QCOMPARE(m_enterprise->requests().size(), onEnterprise ? 1 : 0);
}

void TestAccountEnrolment::failureStoresNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<AccountEnrolment::Failure>("failure");

    QTest::newRow("token refused") << u"refused"_s << AccountEnrolment::Failure::Refused;
    QTest::newRow("server down") << u"down"_s << AccountEnrolment::Failure::NoAnswer;
    QTest::newRow("server error") << u"500"_s << AccountEnrolment::Failure::Other;
    QTest::newRow("not a user") << u"html"_s << AccountEnrolment::Failure::Other;
}

void TestAccountEnrolment::failureStoresNothing()
{
    QFETCH(QString, fault);
    QFETCH(AccountEnrolment::Failure, failure);
    const QString address = enterpriseAddress();
    const QString host = u"127.0.0.1:"_s + QString::number(m_enterprise->port());
    QString token = kMonaToken;
    if (fault == u"refused"_s)
        token = u"ghp_wrong"_s;
    else if (fault == u"down"_s)
        m_enterprise.reset();
    else if (fault == u"500"_s)
        m_enterprise->injectFault(FaultTarget::path(u"/user"_s), Fault::reply(500, "{}"));
    else
        m_enterprise->injectFault(FaultTarget::path(u"/user"_s), Fault::html());

    const Outcome outcome = enrol(address, token);
    QCOMPARE(outcome.failure, failure);
    QVERIFY(!outcome.account);
    QCOMPARE(m_directory->accounts().size(), 1);
    Keychain monasItem(
        QLatin1String(SecureStorage::kServiceName), m_world->console(), Keychain::Owner {host, u"mona"_s});
    QVERIFY(!monasItem.string(QLatin1String(SecureStorage::kTokenKey)).value);
    QVERIFY(!SecureStorage(m_world->environment()).hasToken());
}

QTEST_GUILESS_MAIN(TestAccountEnrolment)
#include "tst_accountenrolment.moc"

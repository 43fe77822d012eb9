#include "GitHubTestEnvironment.h"
#include "SessionToken.h"
#include "TestAccountDirectory.h"
#include "Wait.h"
#include "Widgets.h"
#include "desktop/AccountSessions.h"
#include "storage/PreferenceStore.h"
#include "storage/SecureStorage.h"
#include "views/AccountsDialog.h"
#include "views/AddAccountDialog.h"
#include "views/OAuthAuthenticationView.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kFirstToken = u"ghp_first"_s;
const QString kMonaToken = u"ghp_mona"_s;

QStringList rows(const AccountsDialog& dialog)
{
    const auto* list = widget<QTreeWidget>(&dialog, u"accountList"_s);
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(0) + u" | "_s + list->topLevelItem(row)->text(1);
    return texts;
}

void click(const QObject* parent, const QString& name)
{
    QTest::mouseClick(widget<QPushButton>(parent, name), Qt::LeftButton);
}

} // namespace

// The Accounts dialog and the Add Account dialog over two fake GitHubs, the test
// session's keyring and virtual time.
class TestAccountsDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void addsTheTokensAccount();
    void failedAddKeepsTheErrorAndAddsNothing_data();
    void failedAddKeepsTheErrorAndAddsNothing();
    void serverText_data();
    void serverText();
    void deviceFlowOnlyWhereAClientIdIs_data();
    void deviceFlowOnlyWhereAClientIdIs();
    void removingAsksFirst_data();
    void removingAsksFirst();
    void firstAccountStays();

private:
    AddAccountDialog* openAddAccount();
    QString enterpriseHost() const { return u"127.0.0.1:"_s + QString::number(m_enterprise->port()); }

    std::unique_ptr<GitHubTestEnvironment> m_world;
    std::unique_ptr<TestAccountDirectory> m_directory;
    std::unique_ptr<FakeGitHub> m_enterprise;
    std::unique_ptr<AccountSessions> m_sessions;
    std::unique_ptr<AccountsDialog> m_dialog;
};

void TestAccountsDialogs::init()
{
    if (!SessionToken::inKeyringTestSession())
        QSKIP("Writes token items of the keyring: run it through scripts/with-test-session");
    m_world = std::make_unique<GitHubTestEnvironment>(u"/api/v3"_s);
    m_world->server().addToken(kFirstToken, u"octocat"_s);
    m_world->signIn(kFirstToken);
    m_directory = std::make_unique<TestAccountDirectory>(*m_world);
    m_directory->book().add(u"octocat"_s, m_world->environment().endpoints);
    m_enterprise = std::make_unique<FakeGitHub>();
    m_enterprise->setApiPrefix(u"/api/v3"_s);
    QVERIFY(m_enterprise->listen());
    m_enterprise->addToken(kMonaToken, u"mona"_s);
}

void TestAccountsDialogs::cleanup()
{
    m_dialog.reset();
    m_sessions.reset();
    m_directory.reset();
    if (m_world)
        m_world->signOut();
    m_world.reset();
    m_enterprise.reset();
}

AddAccountDialog* TestAccountsDialogs::openAddAccount()
{
    if (!m_sessions)
        m_sessions = std::make_unique<AccountSessions>(
            m_world->environment(), FeedController::StartUp::OnStart, m_directory.get());
    m_dialog = std::make_unique<AccountsDialog>(*m_sessions, *m_directory);
    m_dialog->show();
    click(m_dialog.get(), u"addAccount"_s);
    return m_dialog->addAccountDialog();
}

void TestAccountsDialogs::addsTheTokensAccount()
{
    AddAccountDialog* add = openAddAccount();
    QVERIFY(add && add->isVisible());
    widget<QLineEdit>(add, u"serverField"_s)->setText(m_enterprise->url().toString());
    widget<QLineEdit>(add, u"tokenField"_s)->setText(kMonaToken);
    click(add, u"addAccount"_s);
    QVERIFY(widget(add, u"checkingToken"_s)->isVisible());
    QVERIFY(!widget(add, u"addAccount"_s)->isEnabled());

    const auto* result = widget<QLabel>(add, u"addResult"_s);
    QVERIFY(waitUntil([&] { return !result->text().isEmpty(); }));
    QCOMPARE(result->text(), u"Added mona · "_s + enterpriseHost());
    QCOMPARE(m_sessions->sessions().size(), 2);
    QCOMPARE(rows(*m_dialog),
        (QStringList {u"octocat · 127.0.0.1:"_s + QString::number(m_world->server().port()) + u" | token stored"_s,
            u"mona · "_s + enterpriseHost() + u" | token stored"_s}));
    // The token went to its own server only.
    QCOMPARE(m_enterprise->requestsTo(u"/user"_s).size(), 1);
    for (const RecordedRequest& record : m_enterprise->requests())
        QCOMPARE(record.request.header("Authorization"), "token " + kMonaToken.toUtf8());
    for (const RecordedRequest& record : m_world->server().requests())
        QVERIFY(!record.request.header("Authorization").contains(kMonaToken.toUtf8()));

    m_world->scheduler().advance(1499ms);
    QVERIFY(add->isVisible());
    const QPointer<AddAccountDialog> closing(add);
    m_world->scheduler().advance(1ms);
    QVERIFY(!closing || !closing->isVisible());
}

void TestAccountsDialogs::failedAddKeepsTheErrorAndAddsNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("error"); // HOST for the server's host

    QTest::newRow("token refused")
        << u"refused"_s
        << u"HOST refused this token: check that it was copied whole and has not expired or been revoked."_s;
    QTest::newRow("server down") << u"down"_s << u"HOST did not answer ("_s;
}

void TestAccountsDialogs::failedAddKeepsTheErrorAndAddsNothing()
{
    QFETCH(QString, fault);
    QFETCH(QString, error);
    error.replace(u"HOST"_s, enterpriseHost());
    const QString address = m_enterprise->url().toString();
    if (fault == u"down"_s)
        m_enterprise.reset();
    AddAccountDialog* add = openAddAccount();
    widget<QLineEdit>(add, u"serverField"_s)->setText(address);
    widget<QLineEdit>(add, u"tokenField"_s)->setText(u"ghp_wrong"_s);
    click(add, u"addAccount"_s);

    const auto* result = widget<QLabel>(add, u"addResult"_s);
    QVERIFY(waitUntil([&] { return !result->text().isEmpty(); }));
    QVERIFY2(result->text().startsWith(error), qPrintable(result->text()));
    QVERIFY(!widget(add, u"checkingToken"_s)->isVisible());
    QVERIFY(widget(add, u"addAccount"_s)->isEnabled());
    QCOMPARE(m_sessions->sessions().size(), 1);
    QCOMPARE(m_directory->accounts().size(), 1);
    m_world->scheduler().advance(10s);
    QVERIFY(add->isVisible());
}

void TestAccountsDialogs::serverText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("problem"); // empty: a server

    QTest::newRow("github.com") << u"github.com"_s << QString();
    QTest::newRow("enterprise host") << u"github.example.com"_s << QString();
    QTest::newRow("enterprise API address") << u"https://github.example.com/api/v3"_s << QString();
    QTest::newRow("empty") << QString() << u"Enter the server's host name, such as github.example.com."_s;
    QTest::newRow("spaces") << u"github example com"_s << u"A server address has no spaces."_s;
    QTest::newRow("another path")
        << u"https://github.example.com/octocat"_s
        << u"Not a GitHub server: give a host name such as github.example.com, or its https:// address."_s;
    QTest::newRow("another scheme")
        << u"ftp://github.example.com"_s
        << u"Not a GitHub server: give a host name such as github.example.com, or its https:// address."_s;
}

void TestAccountsDialogs::serverText()
{
    QFETCH(QString, text);
    QFETCH(QString, problem);
    AddAccountDialog* add = openAddAccount();
    QCOMPARE(widget<QLineEdit>(add, u"serverField"_s)->text(), u"github.com"_s);
    widget<QLineEdit>(add, u"serverField"_s)->setText(text);
    widget<QLineEdit>(add, u"tokenField"_s)->setText(kMonaToken);
    const auto* problemLabel = widget<QLabel>(add, u"serverProblem"_s);
    QCOMPARE(problemLabel->isVisible(), !problem.isEmpty());
    QCOMPARE(problemLabel->text(), problem);
    QCOMPARE(widget(add, u"addAccount"_s)->isEnabled(), problem.isEmpty());
}

void TestAccountsDialogs::deviceFlowOnlyWhereAClientIdIs_data()
{
    QTest::addColumn<QString>("server"); // HOST for the enterprise server's host
    QTest::addColumn<QString>("clientIds"); // TIDEWHELK_CLIENT_IDS
    QTest::addColumn<bool>("offered");

    QTest::newRow("github.com: the first id") << u"github.com"_s << QString() << true;
    QTest::newRow("the first account's server") << u"FIRST"_s << QString() << true;
    QTest::newRow("another server without an id") << u"HOST"_s << u"ghe.example.com=Iv1.other"_s << false;
    QTest::newRow("another server with its id") << u"HOST"_s << u"HOST=Iv1.enterprise"_s << true;
}

void TestAccountsDialogs::deviceFlowOnlyWhereAClientIdIs()
{
    QFETCH(QString, server);
    QFETCH(QString, clientIds);
    QFETCH(bool, offered);
    const QString firstHost = u"127.0.0.1:"_s + QString::number(m_world->server().port());
    server.replace(u"HOST"_s, enterpriseHost()).replace(u"FIRST"_s, firstHost);
    m_directory->setClientIds(clientIds.replace(u"HOST"_s, enterpriseHost()));
    AddAccountDialog* add = openAddAccount();
    widget<QLineEdit>(add, u"serverField"_s)->setText(server);
    QCOMPARE(widget(add, u"signInWithGitHub"_s)->isVisible(), offered);
    QCOMPARE(widget(add, u"signInWithGitHub"_s)->isEnabled(), offered);
    QCOMPARE(widget(add, u"noDeviceFlow"_s)->isVisible(), !offered);
    // A pasted token always works.
    QVERIFY(widget(add, u"tokenField"_s)->isVisible());
}

void TestAccountsDialogs::removingAsksFirst_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("cancelled: nothing goes") << false;
    QTest::newRow("confirmed: the account goes, the others stay") << true;
}

void TestAccountsDialogs::removingAsksFirst()
{
    QFETCH(bool, confirmed);
    const Account mona = m_directory->addAccount(u"mona"_s, kMonaToken);
    const Account hubot = m_directory->addAccount(u"hubot"_s, u"ghp_hubot"_s);
    m_directory->book().preferencesOf(mona)->setString(u"someKey"_s, u"kept until removed"_s);
    m_sessions = std::make_unique<AccountSessions>(
        m_world->environment(), FeedController::StartUp::OnStart, m_directory.get());
    m_dialog = std::make_unique<AccountsDialog>(*m_sessions, *m_directory);
    m_dialog->show();
    auto* list = widget<QTreeWidget>(m_dialog.get(), u"accountList"_s);
    list->setCurrentItem(list->topLevelItem(1));
    click(m_dialog.get(), u"removeAccount"_s);

    QMessageBox* question = m_dialog->removalQuestion();
    QVERIFY(question && question->isVisible());
    QCOMPARE(question->text(), u"Remove "_s + mona.label() + u'?');
    QVERIFY(question->informativeText().contains(u"token, caches, marks, favourites and archive"_s));
    if (confirmed)
        click(question, u"confirmRemove"_s);
    else
        question->reject();

    QCOMPARE(m_sessions->sessions().size(), confirmed ? 2 : 3);
    QCOMPARE(rows(*m_dialog).size(), confirmed ? 2 : 3);
    QCOMPARE(rows(*m_dialog).contains(mona.label() + u" | token stored"_s), !confirmed);
    QCOMPARE(SecureStorage(m_directory->environmentOf(mona)).hasToken(), !confirmed);
    QCOMPARE(m_directory->book().preferencesOf(mona)->string(u"someKey"_s).has_value(), !confirmed);
    QCOMPARE(SecureStorage(m_directory->environmentOf(hubot)).getToken(), u"ghp_hubot"_s);
    QCOMPARE(SecureStorage(m_world->environment()).getToken(), kFirstToken);
}

void TestAccountsDialogs::firstAccountStays()
{
    m_directory->addAccount(u"mona"_s, kMonaToken);
    m_sessions = std::make_unique<AccountSessions>(
        m_world->environment(), FeedController::StartUp::OnStart, m_directory.get());
    m_dialog = std::make_unique<AccountsDialog>(*m_sessions, *m_directory);
    m_dialog->show();
    QList<AccountSession*> signIn;
    connect(
        m_dialog.get(), &AccountsDialog::signInRequested, this, [&](AccountSession* session) { signIn << session; });
    auto* list = widget<QTreeWidget>(m_dialog.get(), u"accountList"_s);
    QCOMPARE(list->currentItem(), list->topLevelItem(0));
    auto* remove = widget<QPushButton>(m_dialog.get(), u"removeAccount"_s);
    QVERIFY(!remove->isEnabled());
    QVERIFY(!remove->toolTip().isEmpty());
    click(m_dialog.get(), u"signInAgain"_s);
    QCOMPARE(signIn, QList<AccountSession*> {&m_sessions->first()});

    list->setCurrentItem(list->topLevelItem(1));
    QVERIFY(remove->isEnabled());
    QVERIFY(remove->toolTip().isEmpty());
}

QTEST_MAIN(TestAccountsDialogs)
#include "tst_accountsdialogs.moc"

#include "DemoSession.h"
#include "FeedSteps.h"
#include "TestData.h"
#include "Wait.h"
#include "assignments/AssignmentsViewModel.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/SecureStorage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Answer
{
    int status = 0;
    QByteArray body;
};

// GET `url` with `token`, as the REST client sends it.
Answer get(const QString& url, const QString& token)
{
    static QNetworkAccessManager network;
    QNetworkRequest request {QUrl(url)};
    request.setRawHeader("Authorization", "token " + token.toUtf8());
    std::unique_ptr<QNetworkReply> reply(network.get(request));
    if (!waitUntil([&] { return reply->isFinished(); }))
        return {};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
}

} // namespace

// `tidewhelk --demo` serves two accounts: the first on its own fake GitHub, a second one
// on another that serves under "/api/v3" as an Enterprise Server does, each with its token
// stored as that account's.
class TestDemoSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void listsBothAccountsByLogin();
    void eachServerAnswersItsAccountsTokenOnly_data();
    void eachServerAnswersItsAccountsTokenOnly();
    void secondAccountsScenarioLinksStayUnderItsApiBase();
    void secondAccountsFeedsSyncWithItsStoredState();

private:
    QString tokenOf(int account) const;

    std::unique_ptr<DemoSession> m_demo;
    QList<Account> m_accounts;
};

void TestDemoSession::initTestCase()
{
    m_demo = std::make_unique<DemoSession>();
    QString error;
    QVERIFY2(m_demo->start(&error), qPrintable(error));
    m_accounts = m_demo->services().accounts().accounts();
}

void TestDemoSession::cleanupTestCase()
{
    m_demo.reset();
}

QString TestDemoSession::tokenOf(int account) const
{
    const Environment& environment = m_demo->services().environmentOf(m_accounts.at(account));
    return environment.secrets->string(QLatin1String(SecureStorage::kTokenKey)).value.value_or(QString());
}

void TestDemoSession::listsBothAccountsByLogin()
{
    QCOMPARE(m_accounts.size(), 2);
    const QUrl first(m_demo->environment().endpoints.apiBase());
    QCOMPARE(m_accounts.at(0).label(), u"marrowfen · 127.0.0.1:"_s + QString::number(first.port()));
    QVERIFY(m_accounts.at(0).isFirst());
    const Account& second = m_accounts.at(1);
    QCOMPARE(second.login, u"mona"_s);
    QVERIFY(!second.isFirst());
    QVERIFY(second.endpoints.apiBase().endsWith(u"/api/v3"_s));
    QVERIFY(second.host() != m_accounts.at(0).host());
}

void TestDemoSession::eachServerAnswersItsAccountsTokenOnly_data()
{
    QTest::addColumn<int>("server");
    QTest::addColumn<int>("token");
    QTest::addColumn<int>("status");

    QTest::newRow("first server, its token") << 0 << 0 << 200;
    QTest::newRow("first server, the second account's token") << 0 << 1 << 401;
    QTest::newRow("second server, its token") << 1 << 1 << 200;
    QTest::newRow("second server, the first account's token") << 1 << 0 << 401;
}

void TestDemoSession::eachServerAnswersItsAccountsTokenOnly()
{
    QFETCH(int, server);
    QFETCH(int, token);
    QFETCH(int, status);
    const QString base = m_accounts.at(server).endpoints.apiBase();
    QVERIFY(!tokenOf(token).isEmpty());
    QCOMPARE(get(base + u"/notifications"_s, tokenOf(token)).status, status);
    // The stored token is the account's own: GET /user names its login.
    if (status == 200) {
        const Answer user = get(base + u"/user"_s, tokenOf(token));
        QCOMPARE(QJsonDocument::fromJson(user.body).object().value(u"login"_s).toString(), m_accounts.at(token).login);
    }
}

void TestDemoSession::secondAccountsScenarioLinksStayUnderItsApiBase()
{
    const QString base = m_accounts.at(1).endpoints.apiBase();
    const Answer threads = get(base + u"/notifications"_s, tokenOf(1));
    const QJsonArray list = QJsonDocument::fromJson(threads.body).array();
    QVERIFY(list.size() >= 4);
    int pullRequests = 0;
    for (const QJsonValue& thread : list) {
        const QString subject = thread[u"subject"_s][u"url"_s].toString();
        QVERIFY2(subject.startsWith(base + u"/repos/"_s), qPrintable(subject));
        if (thread[u"subject"_s][u"type"_s] != u"PullRequest"_s)
            continue;
        // What the status refresh reads of a pull request is served where its links say.
        ++pullRequests;
        const QJsonObject pull = QJsonDocument::fromJson(get(subject, tokenOf(1)).body).object();
        QCOMPARE(get(subject + u"/reviews"_s, tokenOf(1)).status, 200);
        QCOMPARE(get(pull[u"statuses_url"_s].toString(), tokenOf(1)).status, 200);
    }
    QVERIFY(pullRequests >= 2);
    const Answer issues = get(base + u"/issues?filter=assigned"_s, tokenOf(1));
    QVERIFY(QJsonDocument::fromJson(issues.body).array().size() >= 3);
}

void TestDemoSession::secondAccountsFeedsSyncWithItsStoredState()
{
    const Environment& environment = m_demo->services().environmentOf(m_accounts.at(1));
    auto notifications = NotificationsViewModel::create(environment);
    auto assignments = AssignmentsViewModel::create(environment);
    // Its seeded stars, from the cache, before any reply.
    QCOMPARE(TestData::ids(notifications->favorites()), QStringList {u"21003"_s});
    QCOMPARE(TestData::ids(assignments->favorites()), QList<qint64> {3000000209});
    QCOMPARE(FeedSteps::waitForSync(*notifications), SyncOutcome::Succeeded);
    if (assignments->isLoading())
        QCOMPARE(FeedSteps::waitForSync(*assignments), SyncOutcome::Succeeded);
    QCOMPARE(notifications->notifications().size(), 6);
    QCOMPARE(assignments->issues().size(), 4);
}

QTEST_GUILESS_MAIN(TestDemoSession)
#include "tst_demosession.moc"

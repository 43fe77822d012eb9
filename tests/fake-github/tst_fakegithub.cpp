#include "FakeGitHub.h"
#include "HttpConnection.h"
#include "HttpDate.h"
#include "HttpRequestParser.h"
#include "TestData.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>
#include <QUrlQuery>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kToken = u"ghp_secret"_s;

using Headers = QList<std::pair<QByteArray, QByteArray>>;

// What a client saw of one exchange.
struct Exchange
{
    bool finished = false;
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QList<QNetworkReply::RawHeaderPair> headers;

    QByteArray header(const QByteArray& name) const
    {
        for (const auto& [key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return {};
    }
    QJsonArray array() const { return QJsonDocument::fromJson(body).array(); }
    QJsonObject object() const { return QJsonDocument::fromJson(body).object(); }
};

QStringList ids(const QJsonArray& items)
{
    QStringList result;
    for (const QJsonValue& item : items) {
        const QJsonValue id = item.toObject().value(u"id"_s);
        result << (id.isString() ? id.toString() : QString::number(id.toInteger()));
    }
    return result;
}

QJsonObject example(const QString& relativePath)
{
    return QJsonDocument::fromJson(TestData::example(relativePath)).object();
}

// The relations of a Link header in header order, and the page each one names.
QStringList links(const QByteArray& header)
{
    QStringList result;
    static const QRegularExpression pattern(uR"re(<([^>]*)>; rel="(\w+)")re"_s);
    for (const auto& match : pattern.globalMatch(QString::fromLatin1(header)))
        result << match.captured(2) + u'=' + QUrlQuery(QUrl(match.captured(1))).queryItemValue(u"page"_s);
    return result;
}

} // namespace

class TestFakeGitHub : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void restPathsNeedAnAcceptedToken_data();
    void restPathsNeedAnAcceptedToken();
    void listsFollowGitHubsQuery_data();
    void listsFollowGitHubsQuery();
    void listsArePagedWithLinkHeaders_data();
    void listsArePagedWithLinkHeaders();
    void resourcesAreServedByPath();
    void conditionalGetAnswersNotModified_data();
    void conditionalGetAnswersNotModified();
    void repliesCarryGitHubsHeaders();
    void doneThreadsLeaveTheListsUntilUpdated();
    void enterpriseServerNamesItsVersion();
    void rateLimitCountsFullRepliesAndRunsOut();
    void requestsAreRecorded();
    void aConnectionIsKeptUntilEitherSideClosesIt();
    void parserAssemblesRequestsFromPieces();
    void faultRepliesReachTheClient_data();
    void faultRepliesReachTheClient();
    void faultsWithoutAReply();
    void faultsMatchTargetAndCount();
    void deviceFlowFollowsTheScript();
    void payloadsHaveGitHubsFields();
    void standaloneServesTheDemo();

private:
    Exchange send(const QByteArray& method, const QUrl& url, const Headers& headers, const QByteArray& body = {});
    Exchange get(const QString& pathAndQuery, const Headers& headers = {});
    Exchange post(const QString& path, const QByteArray& body, const QByteArray& accept);
    QUrl api(const QString& pathAndQuery) const { return QUrl(m_server->apiBaseUrl().toString() + pathAndQuery); }
    void addThreads(int count);

    std::unique_ptr<FakeGitHub> m_server;
    std::unique_ptr<QNetworkAccessManager> m_network;
};

void TestFakeGitHub::init()
{
    m_server = std::make_unique<FakeGitHub>();
    QVERIFY(m_server->listen());
    m_server->setToken(kToken);
    m_network = std::make_unique<QNetworkAccessManager>();
}

void TestFakeGitHub::cleanup()
{
    m_network.reset();
    m_server.reset();
}

Exchange TestFakeGitHub::send(const QByteArray& method, const QUrl& url, const Headers& headers, const QByteArray& body)
{
    QNetworkRequest request(url);
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    std::unique_ptr<QNetworkReply> reply(m_network->sendCustomRequest(request, method, body));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(10000);
    return Exchange {reply->isFinished(), reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
        reply->error(), reply->readAll(), reply->rawHeaderPairs()};
}

Exchange TestFakeGitHub::get(const QString& pathAndQuery, const Headers& headers)
{
    return send("GET", api(pathAndQuery), Headers {{"Authorization", "token " + kToken.toUtf8()}} + headers);
}

Exchange TestFakeGitHub::post(const QString& path, const QByteArray& body, const QByteArray& accept)
{
    Headers headers {{"Content-Type", "application/x-www-form-urlencoded"}};
    if (!accept.isEmpty())
        headers.append({"Accept", accept});
    return send("POST", QUrl(m_server->webBaseUrl().toString() + path), headers, body);
}

// Threads "1" (oldest) to "count", one second apart.
void TestFakeGitHub::addThreads(int count)
{
    const GitHubPayloads payloads = m_server->payloads();
    const QDateTime start(QDate(2025, 3, 1), QTime(0, 0), QTimeZone::utc());
    for (int i = 1; i <= count; ++i)
        m_server->addNotification(
            payloads.thread({.id = QString::number(i), .updatedAt = start.addSecs(i).toString(Qt::ISODate)}));
}

void TestFakeGitHub::restPathsNeedAnAcceptedToken_data()
{
    QTest::addColumn<QByteArray>("authorization");
    QTest::addColumn<int>("status");

    QTest::newRow("token scheme with the token") << QByteArray("token ghp_secret") << 200;
    QTest::newRow("Bearer scheme with the token") << QByteArray("Bearer ghp_secret") << 200;
    QTest::newRow("a second added token") << QByteArray("token other") << 200;
    QTest::newRow("no Authorization header") << QByteArray() << 401;
    QTest::newRow("a wrong token") << QByteArray("token ghp_wrong") << 401;
    QTest::newRow("the token under another scheme") << QByteArray("Basic ghp_secret") << 401;
    QTest::newRow("a scheme without token") << QByteArray("token") << 401;
}

void TestFakeGitHub::restPathsNeedAnAcceptedToken()
{
    QFETCH(QByteArray, authorization);
    QFETCH(int, status);
    m_server->addToken(u"other"_s);

    const Exchange reply = send("GET", api(u"/notifications"_s),
        authorization.isNull() ? Headers() : Headers {{"Authorization", authorization}});

    QCOMPARE(reply.status, status);
    if (status == 401) {
        QCOMPARE(reply.object(), example(u"docs/error-401.bad-credentials.body.json"_s));
        QCOMPARE(m_server->rateLimitRemaining(), RateLimit::defaultLimit);
    }
}

void TestFakeGitHub::listsFollowGitHubsQuery_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("ids");

    // Threads 1, 2 (read), 3 and 4, updated 2 March, mid 2 March, 3 March and 1 March.
    QTest::newRow("unread threads, newest first") << u"/notifications?all=false"_s << u"3 1 4"_s;
    QTest::newRow("no all parameter means unread only") << u"/notifications?page=1"_s << u"3 1 4"_s;
    QTest::newRow("all=true adds the read thread") << u"/notifications?all=true"_s << u"3 2 1 4"_s;
    QTest::newRow("since keeps threads updated at or after it")
        << u"/notifications?since=2025-03-02T00:00:00Z"_s << u"3 1"_s;
    QTest::newRow("since after everything") << u"/notifications?since=2030-01-01T00:00:00Z"_s << QString();
    // Issues 10, 20 (closed) and 30 (a pull request), created in that order and
    // updated in the opposite one.
    QTest::newRow("open issues, most recently created first") << u"/issues?filter=assigned"_s << u"30 10"_s;
    QTest::newRow("state=all adds the closed item") << u"/issues?filter=assigned&state=all"_s << u"30 20 10"_s;
    QTest::newRow("sort=updated") << u"/issues?filter=assigned&sort=updated"_s << u"10 30"_s;
    QTest::newRow("direction=asc") << u"/issues?filter=assigned&direction=asc"_s << u"10 30"_s;
    QTest::newRow("issues since") << u"/issues?filter=assigned&since=2025-03-04T00:00:00Z"_s << u"10"_s;
}

void TestFakeGitHub::listsFollowGitHubsQuery()
{
    QFETCH(QString, query);
    QFETCH(QString, ids);
    const GitHubPayloads payloads = m_server->payloads();
    m_server->setNotifications({payloads.thread({.id = u"1"_s, .updatedAt = u"2025-03-02T00:00:00Z"_s}),
        payloads.thread({.id = u"2"_s, .unread = false, .updatedAt = u"2025-03-02T12:00:00Z"_s}),
        payloads.thread({.id = u"3"_s, .updatedAt = u"2025-03-03T00:00:00Z"_s}),
        payloads.thread({.id = u"4"_s, .updatedAt = u"2025-03-01T23:59:59Z"_s})});
    for (const int id : {10, 20, 30})
        m_server->addAssignedIssue(payloads.issue({.id = id,
            .state = id == 20 ? u"closed"_s : u"open"_s,
            .pullRequest = id == 30,
            .updatedAt = u"2025-03-0%1T00:00:00Z"_s.arg(6 - id / 10),
            .createdAt = u"2025-01-0%1T00:00:00Z"_s.arg(id / 10)}));

    const Exchange reply = get(query);

    QCOMPARE(reply.status, 200);
    QCOMPARE(::ids(reply.array()).join(u' '), ids);
}

void TestFakeGitHub::listsArePagedWithLinkHeaders_data()
{
    QTest::addColumn<int>("threads");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("items");
    QTest::addColumn<QStringList>("links"); // relation=page, in header order

    QTest::newRow("first of three pages") << 5 << u"per_page=2&page=1"_s << 2 << QStringList {u"next=2"_s, u"last=3"_s};
    QTest::newRow("middle page") << 5 << u"per_page=2&page=2"_s << 2
                                 << QStringList {u"prev=1"_s, u"next=3"_s, u"last=3"_s, u"first=1"_s};
    QTest::newRow("last page has no next")
        << 5 << u"per_page=2&page=3"_s << 1 << QStringList {u"prev=2"_s, u"first=1"_s};
    QTest::newRow("one page needs no Link header") << 3 << u"page=1"_s << 3 << QStringList {};
    QTest::newRow("default page size is 50") << 51 << u"page=1"_s << 50 << QStringList {u"next=2"_s, u"last=2"_s};
    QTest::newRow("per_page is capped at 100")
        << 101 << u"per_page=500"_s << 100 << QStringList {u"next=2"_s, u"last=2"_s};
}

void TestFakeGitHub::listsArePagedWithLinkHeaders()
{
    QFETCH(int, threads);
    QFETCH(QString, query);
    QFETCH(int, items);
    QFETCH(QStringList, links);
    addThreads(threads);

    const Exchange reply = get(u"/notifications?all=false&since=2025-01-01T00:00:00Z&"_s + query);

    QCOMPARE(reply.array().size(), items);
    QCOMPARE(::links(reply.header("Link")), links);
    // The links keep the query and point at the same list.
    static const QRegularExpression first(u"<([^>]*)>"_s);
    const QUrl next(first.match(QString::fromLatin1(reply.header("Link"))).captured(1));
    if (!links.isEmpty()) {
        QCOMPARE(next.adjusted(QUrl::RemoveQuery), api(u"/notifications"_s));
        QCOMPARE(QUrlQuery(next).queryItemValue(u"since"_s), u"2025-01-01T00:00:00Z"_s);
    }
}

void TestFakeGitHub::resourcesAreServedByPath()
{
    const GitHubPayloads payloads = m_server->payloads();
    const QJsonObject pull = payloads.pullRequest({.repository = u"o/r"_s, .number = 5, .merged = true});
    m_server->setResource(u"/repos/o/r/pulls/5"_s, pull);
    // A payload's own URL names the same resource.
    const QJsonArray statuses {payloads.status({.id = 18402522398, .repository = u"o/r"_s})};
    m_server->setResource(pull[u"statuses_url"_s].toString(), statuses);
    m_server->setResource(u"/repos/o/r/issues/9"_s, GitHubPayloads::error(u"Issue gone"_s), 410);

    QCOMPARE(get(u"/repos/o/r/pulls/5"_s).object(), pull);
    QCOMPARE(QUrl(pull[u"url"_s].toString()), api(u"/repos/o/r/pulls/5"_s));
    const Exchange listed = get(QUrl(pull[u"statuses_url"_s].toString()).path());
    QCOMPARE(listed.array(), statuses);
    QVERIFY(listed.body.contains("\"id\":18402522398"));
    const Exchange gone = get(u"/repos/o/r/issues/9"_s);
    QCOMPARE(gone.status, 410);
    QCOMPARE(gone.object()[u"message"_s].toString(), u"Issue gone"_s);
    const Exchange unknown = get(u"/repos/o/r/pulls/6"_s);
    QCOMPARE(unknown.status, 404);
    QCOMPARE(unknown.object(), GitHubPayloads::error(u"Not Found"_s));

    m_server->removeResource(u"/repos/o/r/pulls/5"_s);
    QCOMPARE(get(u"/repos/o/r/pulls/5"_s).status, 404);
}

void TestFakeGitHub::conditionalGetAnswersNotModified_data()
{
    QTest::addColumn<QByteArray>("ifNoneMatch"); // "{etag}" stands for the current tag
    QTest::addColumn<QByteArray>("ifModifiedSince"); // "{last}" for Last-Modified, "{earlier}" an hour before
    QTest::addColumn<int>("status");

    QTest::newRow("the current ETag") << QByteArray("{etag}") << QByteArray() << 304;
    QTest::newRow("the current ETag as a weak tag") << QByteArray("W/{etag}") << QByteArray() << 304;
    QTest::newRow("the current ETag in a list") << QByteArray("\"abc\", {etag}") << QByteArray() << 304;
    QTest::newRow("a star") << QByteArray("*") << QByteArray() << 304;
    QTest::newRow("another ETag") << QByteArray("\"abc\"") << QByteArray() << 200;
    QTest::newRow("the unquoted digest") << QByteArray("{bare}") << QByteArray() << 200;
    QTest::newRow("the ETag of the content before") << QByteArray("{old}") << QByteArray() << 200;
    QTest::newRow("If-Modified-Since equal to Last-Modified") << QByteArray() << QByteArray("{last}") << 304;
    QTest::newRow("If-Modified-Since before Last-Modified") << QByteArray() << QByteArray("{earlier}") << 200;
    QTest::newRow("If-Modified-Since that is not a date") << QByteArray() << QByteArray("yesterday") << 200;
    QTest::newRow("a stale ETag wins over a fresh date") << QByteArray("\"abc\"") << QByteArray("{last}") << 200;
}

void TestFakeGitHub::conditionalGetAnswersNotModified()
{
    QFETCH(QByteArray, ifNoneMatch);
    QFETCH(QByteArray, ifModifiedSince);
    QFETCH(int, status);
    addThreads(1);
    const QByteArray old = get(u"/notifications"_s).header("ETag");
    addThreads(2);
    const Exchange first = get(u"/notifications"_s);
    const QByteArray etag = first.header("ETag");
    const QByteArray lastModified = first.header("Last-Modified");
    QVERIFY(etag != old);

    Headers headers;
    if (!ifNoneMatch.isEmpty())
        headers.append({"If-None-Match",
            QByteArray(ifNoneMatch).replace("{etag}", etag).replace("{old}", old).replace("{bare}", etag.mid(1, 64))});
    if (!ifModifiedSince.isEmpty())
        headers.append({"If-Modified-Since",
            QByteArray(ifModifiedSince)
                .replace("{last}", lastModified)
                .replace("{earlier}", HttpDate::format(HttpDate::parse(lastModified).addSecs(-3600)))});
    const int remaining = m_server->rateLimitRemaining();
    const Exchange again = get(u"/notifications"_s, headers);

    QCOMPARE(again.status, status);
    QCOMPARE(again.header("ETag"), etag);
    QCOMPARE(again.body, status == 304 ? QByteArray() : first.body);
    // A 304 costs no rate limit.
    QCOMPARE(m_server->rateLimitRemaining(), status == 304 ? remaining : remaining - 1);
    QCOMPARE(again.header("X-RateLimit-Remaining"), QByteArray::number(m_server->rateLimitRemaining()));
    QCOMPARE(m_server->requests().last().notModified(), status == 304);
}

void TestFakeGitHub::repliesCarryGitHubsHeaders()
{
    addThreads(1);
    const Exchange reply = get(u"/notifications"_s);

    QCOMPARE(reply.header("Content-Type"), QByteArray("application/json; charset=utf-8"));
    QCOMPARE(reply.header("Cache-Control"), QByteArray("private, max-age=60"));
    QCOMPARE(reply.header("Vary"), QByteArray("Accept, Authorization, Cookie, X-GitHub-OTP"));
    QVERIFY(QRegularExpression(uR"(^"[0-9a-f]{64}"$)"_s).match(QString::fromLatin1(reply.header("ETag"))).hasMatch());
    QVERIFY(qAbs(HttpDate::parse(reply.header("Last-Modified")).secsTo(QDateTime::currentDateTimeUtc())) < 60);
    QVERIFY(HttpDate::parse(reply.header("Date")).isValid());
    QCOMPARE(reply.header("X-RateLimit-Limit"), QByteArray("5000"));
    QCOMPARE(reply.header("X-RateLimit-Remaining"), QByteArray("4999"));
    QCOMPARE(reply.header("X-RateLimit-Used"), QByteArray("1"));
    QCOMPARE(reply.header("X-RateLimit-Resource"), QByteArray("core"));
    const qint64 reset = reply.header("X-RateLimit-Reset").toLongLong() - QDateTime::currentSecsSinceEpoch();
    QVERIFY(reset > 0 && reset <= 3600);

    m_server->setWeakETags(true);
    m_server->setMaxAge(0);
    const Exchange weak = get(u"/notifications"_s);
    QCOMPARE(weak.header("ETag"), "W/" + reply.header("ETag"));
    QCOMPARE(weak.header("Cache-Control"), QByteArray("private, max-age=0"));
}

void TestFakeGitHub::doneThreadsLeaveTheListsUntilUpdated()
{
    addThreads(2);
    const Headers authorized {{"Authorization", "token " + kToken.toUtf8()}};
    const Exchange done = send("DELETE", api(u"/notifications/threads/1"_s), authorized);
    QCOMPARE(done.status, 204);
    QVERIFY(done.body.isEmpty());
    QCOMPARE(send("DELETE", api(u"/notifications/threads/99"_s), authorized).status, 404);
    QVERIFY(m_server->isNotificationDone(u"1"_s));
    QCOMPARE(::ids(get(u"/notifications?all=false"_s).array()), QStringList {u"2"_s});
    QCOMPARE(::ids(get(u"/notifications?all=true"_s).array()), QStringList {u"2"_s});
    QCOMPARE(get(u"/notifications/threads/1"_s).object().value(u"unread"_s), QJsonValue(false));

    m_server->addNotification(m_server->payloads().thread({.id = u"1"_s, .updatedAt = u"2025-03-02T00:00:00Z"_s}));
    QVERIFY(!m_server->isNotificationDone(u"1"_s));
    QCOMPARE(::ids(get(u"/notifications?all=false"_s).array()), (QStringList {u"1"_s, u"2"_s}));
}

void TestFakeGitHub::enterpriseServerNamesItsVersion()
{
    addThreads(1);
    QCOMPARE(get(u"/notifications"_s).header("X-GitHub-Enterprise-Version"), QByteArray());
    m_server->setEnterpriseVersion(u"3.12.0"_s);
    QCOMPARE(get(u"/notifications"_s).header("X-GitHub-Enterprise-Version"), QByteArray("3.12.0"));
    const Exchange refused = send("GET", api(u"/notifications"_s), {{"Authorization", "token another"}});
    QCOMPARE(refused.status, 401);
    QCOMPARE(refused.header("X-GitHub-Enterprise-Version"), QByteArray("3.12.0"));
}

void TestFakeGitHub::rateLimitCountsFullRepliesAndRunsOut()
{
    m_server->setRateLimit(5000, 2);
    QCOMPARE(get(u"/notifications"_s).header("X-RateLimit-Remaining"), QByteArray("1"));
    QCOMPARE(get(u"/repos/o/r/pulls/1"_s).header("X-RateLimit-Remaining"), QByteArray("0"));

    const Exchange refused = get(u"/notifications"_s);
    QCOMPARE(refused.status, 403);
    QCOMPARE(refused.header("X-RateLimit-Remaining"), QByteArray("0"));
    QCOMPARE(refused.object(), example(u"docs/error-403.rate-limit-exceeded.body.json"_s));
    QCOMPARE(m_server->fullCostCount(), 1);
}

void TestFakeGitHub::requestsAreRecorded()
{
    QSignalSpy received(m_server.get(), &FakeGitHub::requestReceived);
    QSignalSpy handled(m_server.get(), &FakeGitHub::requestHandled);
    addThreads(1);

    get(u"/notifications?all=false&page=1"_s, {{"X-Custom", "value"}});
    send("PATCH", api(u"/notifications/threads/1"_s), {{"Authorization", "token ghp_secret"}}, "{}");
    post(u"/login/device/code"_s, "client_id=abc&scope=notifications%20repo", "application/json");

    QCOMPARE(received.size(), 3);
    QCOMPARE(handled.size(), 3);
    const RecordedRequest list = m_server->requestsTo(u"/notifications"_s).value(0);
    QCOMPARE(list.request.method, QByteArray("GET"));
    QCOMPARE(list.request.target, QByteArray("/notifications?all=false&page=1"));
    QCOMPARE(list.request.queryValue(u"page"_s), u"1"_s);
    QCOMPARE(list.request.header("authorization"), QByteArray("token ghp_secret"));
    QCOMPARE(list.request.header("x-CUSTOM"), QByteArray("value"));
    QCOMPARE(list.status, 200);
    QCOMPARE(list.outcome, RecordedRequest::Outcome::Answered);
    const RecordedRequest patch = m_server->requestsUnder(u"/notifications/"_s).value(0);
    QCOMPARE(patch.request.body, QByteArray("{}"));
    QCOMPARE(patch.status, 205);
    QCOMPARE(m_server->requests().last().request.body, QByteArray("client_id=abc&scope=notifications%20repo"));
    QCOMPARE(handled.last().at(0).value<RecordedRequest>().path, u"/login/device/code"_s);
    QCOMPARE(m_server->fullCostCount(), 2);

    m_server->clearRequests();
    QVERIFY(m_server->requests().isEmpty());
}

void TestFakeGitHub::aConnectionIsKeptUntilEitherSideClosesIt()
{
    for (int i = 0; i < 3; ++i)
        QCOMPARE(get(u"/notifications"_s).status, 200);
    QCOMPARE(m_server->connectionCount(), 1);
    QCOMPARE(get(u"/notifications"_s, {{"Connection", "close"}}).status, 200);
    QCOMPARE(get(u"/notifications"_s).status, 200);

    QCOMPARE(m_server->connectionCount(), 2);
    QCOMPARE(m_server->requests().at(3).request.connection, 1);
    QCOMPARE(m_server->requests().at(4).request.connection, 2);

    m_server->closeIdleConnections();
    QTRY_VERIFY(m_server->findChildren<HttpConnection*>().isEmpty());
    QCOMPARE(get(u"/notifications"_s).status, 200);
    QCOMPARE(m_server->requests().at(5).request.connection, 3);
}

void TestFakeGitHub::parserAssemblesRequestsFromPieces()
{
    const QByteArray bytes = "PATCH /notifications/threads/7?x=%41 HTTP/1.1\r\n"
                             "Host: 127.0.0.1\r\nContent-Length: 2\r\nX-Spaced:   padded  \r\n\r\n{}"
                             "GET /issues HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    for (int piece = 1; piece <= bytes.size(); ++piece) {
        HttpRequestParser parser;
        QList<HttpRequest> requests;
        for (qsizetype at = 0; at < bytes.size(); at += piece) {
            parser.feed(bytes.mid(at, piece));
            requests << parser.takeRequests();
        }
        QVERIFY(!parser.hasError());
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.at(0).method, QByteArray("PATCH"));
        QCOMPARE(requests.at(0).path, u"/notifications/threads/7"_s);
        QCOMPARE(requests.at(0).queryValue(u"x"_s), u"A"_s);
        QCOMPARE(requests.at(0).header("x-spaced"), QByteArray("padded"));
        QCOMPARE(requests.at(0).body, QByteArray("{}"));
        QCOMPARE(requests.at(1).path, u"/issues"_s);
        QVERIFY(requests.at(1).body.isEmpty());
    }
    HttpRequestParser parser;
    parser.feed("NOT-HTTP\r\n\r\n");
    QVERIFY(parser.hasError());
}

void TestFakeGitHub::faultRepliesReachTheClient_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<bool>("validJson");

    QTest::newRow("a 503 with a JSON body")
        << Fault::reply(503, R"({"message":"Server Error"})", {{"Retry-After", "30"}}) << 503
        << QByteArray("application/json") << true;
    QTest::newRow("rate limited with a reset time") << Fault::rateLimited(QDateTime::fromSecsSinceEpoch(1377013266))
                                                    << 403 << QByteArray("application/json") << true;
    QTest::newRow("malformed JSON") << Fault::malformedJson() << 200 << QByteArray("application/json") << false;
    QTest::newRow("JSON cut in half") << Fault::truncatedJson() << 200 << QByteArray("application/json") << false;
    QTest::newRow("an HTML page") << Fault::html(502) << 502 << QByteArray("text/html") << false;
    QTest::newRow("a late reply") << Fault::delay(300ms) << 200 << QByteArray("application/json") << true;
}

void TestFakeGitHub::faultRepliesReachTheClient()
{
    QFETCH(Fault, fault);
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(bool, validJson);
    addThreads(3);
    const Exchange normal = get(u"/notifications"_s);
    m_server->injectFault(FaultTarget::path(u"/notifications"_s), fault);

    QElapsedTimer clock;
    clock.start();
    const Exchange faulty = get(u"/notifications"_s);

    QCOMPARE(faulty.status, status);
    QVERIFY(faulty.header("Content-Type").startsWith(contentType));
    QCOMPARE(!QJsonDocument::fromJson(faulty.body).isNull(), validJson);
    QCOMPARE(clock.elapsed() >= 300, fault.kind() == Fault::Kind::Delay);
    if (status == 403) {
        QCOMPARE(faulty.header("X-RateLimit-Remaining"), QByteArray("0"));
        QCOMPARE(faulty.header("X-RateLimit-Reset"), QByteArray("1377013266"));
        QCOMPARE(faulty.object(), example(u"docs/error-403.rate-limit-exceeded.body.json"_s));
    }
    if (status == 503)
        QCOMPARE(faulty.header("Retry-After"), QByteArray("30"));
    if (fault.kind() == Fault::Kind::TruncatedBody)
        QVERIFY(normal.body.startsWith(faulty.body) && faulty.body.size() < normal.body.size());
    // One request only.
    QCOMPARE(get(u"/notifications"_s).body, normal.body);
}

void TestFakeGitHub::faultsWithoutAReply()
{
    // Qt resends a request whose connection closed before any reply, so drop every time.
    m_server->injectFault(FaultTarget::path(u"/issues"_s), Fault::dropConnection(), FakeGitHub::always);
    const Exchange dropped = get(u"/issues"_s);
    QVERIFY(dropped.finished);
    QCOMPARE(dropped.error, QNetworkReply::RemoteHostClosedError);
    for (const RecordedRequest& request : m_server->requests())
        QCOMPARE(request.outcome, RecordedRequest::Outcome::Dropped);
    m_server->clearRequests();

    m_server->injectFault(FaultTarget::path(u"/notifications"_s), Fault::neverAnswer());
    QNetworkRequest request(api(u"/notifications"_s));
    request.setRawHeader("Authorization", "token ghp_secret");
    std::unique_ptr<QNetworkReply> hanging(m_network->get(request));
    QTRY_COMPARE(m_server->requests().size(), 1);
    // Other requests are answered meanwhile, on other connections; with latency they overlap.
    m_server->setLatency(200ms);
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QNetworkReply>> replies;
    for (int i = 0; i < 5; ++i) // Qt opens up to six connections per host
        replies.emplace_back(m_network->get(request));
    for (const auto& reply : replies)
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 5000);
    QVERIFY(clock.elapsed() >= 200);
    QVERIFY2(clock.elapsed() < 800, "five requests with 200 ms latency must overlap");
    QCOMPARE(replies.back()->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    QVERIFY(!hanging->isFinished());
    QCOMPARE(m_server->requests().first().outcome, RecordedRequest::Outcome::Pending);
    hanging->abort();
}

void TestFakeGitHub::faultsMatchTargetAndCount()
{
    const auto failing = [] { return Fault::reply(500, R"({"message":"Server Error"})"); };
    m_server->injectFault(FaultTarget::path(u"/issues"_s), failing(), 2);
    m_server->injectFault(FaultTarget::prefix(u"/repos/o/"_s, "GET"), failing(), FakeGitHub::always);

    QCOMPARE(get(u"/issues"_s).status, 500);
    QCOMPARE(get(u"/issues?page=2"_s).status, 500);
    QCOMPARE(get(u"/issues"_s).status, 200);
    QCOMPARE(get(u"/issuesX"_s).status, 404);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(get(u"/repos/o/r/pulls/%1"_s.arg(i)).status, 500);
    QCOMPARE(get(u"/repos/other/r/pulls/1"_s).status, 404);
    QCOMPARE(send("PATCH", api(u"/repos/o/r/pulls/1"_s), {{"Authorization", "token ghp_secret"}}).status, 404);

    m_server->clearFaults();
    QCOMPARE(get(u"/repos/o/r/pulls/1"_s).status, 404);
}

void TestFakeGitHub::deviceFlowFollowsTheScript()
{
    const QByteArray json = "application/json";
    const Exchange defaultCode = post(u"/login/device/code"_s, "client_id=abc&scope=repo", json);
    QCOMPARE(defaultCode.header("Content-Type"), QByteArray("application/json; charset=utf-8"));
    QCOMPARE(defaultCode.object(),
        (QJsonObject {{u"device_code"_s, u"3584d83530557fdd1f46af8289938c8ef79f9dc5"_s},
            {u"user_code"_s, u"WDJB-MJHT"_s},
            {u"verification_uri"_s, QString(m_server->webBaseUrl().toString() + u"/login/device"_s)},
            {u"expires_in"_s, 900}, {u"interval"_s, 5}}));
    // Without Accept, GitHub answers form-urlencoded.
    const Exchange form = post(u"/login/device/code"_s, "client_id=abc", {});
    QCOMPARE(form.header("Content-Type"), QByteArray("application/x-www-form-urlencoded; charset=utf-8"));
    QCOMPARE(QUrlQuery(QString::fromLatin1(form.body)).queryItemValue(u"user_code"_s), u"WDJB-MJHT"_s);

    m_server->setDeviceCodeReply(OAuthReply::deviceCode(u"https://example.test/device"_s, u"dc"_s, u"ABCD"_s, 60, 8));
    QCOMPARE(post(u"/login/device/code"_s, "client_id=abc", json).object()[u"interval"_s].toInt(), 8);
    m_server->queueTokenReply(OAuthReply::pending());
    m_server->queueTokenReply(OAuthReply::slowDown(10));
    m_server->queueTokenReply(OAuthReply::expired());
    m_server->queueTokenReply(OAuthReply::denied());
    m_server->queueTokenReply(OAuthReply::raw(400, R"({"error":"incorrect_device_code"})"));
    m_server->queueTokenReply(OAuthReply::success(u"gho_issued"_s));
    m_server->queueTokenReply(OAuthReply::success(u"gho_unknown"_s, u"repo"_s, false));
    const auto poll
        = [&](const QByteArray& accept) { return post(u"/login/oauth/access_token"_s, "device_code=dc", accept); };
    const auto error = [&] { return poll(json).object()[u"error"_s].toString(); };

    QCOMPARE(send("GET", api(u"/user"_s), {{"Authorization", "token gho_issued"}}).status, 401);
    QCOMPARE(poll(json).object(),
        (QJsonObject {{u"error"_s, u"authorization_pending"_s},
            {u"error_description"_s, u"The authorization request is still pending."_s},
            {u"error_uri"_s,
                u"https://docs.github.com/developers/apps/authorizing-oauth-apps#error-codes-for-the-device-flow"_s}}));
    const Exchange slowDown = poll(json);
    QCOMPARE(slowDown.object()[u"error"_s].toString(), u"slow_down"_s);
    QCOMPARE(slowDown.object()[u"interval"_s].toInt(), 10);
    QCOMPARE(error(), u"expired_token"_s);
    QVERIFY(poll({}).body.startsWith("error=access_denied&error_description="));
    QCOMPARE(poll(json).status, 400);
    QCOMPARE(m_server->queuedTokenReplies(), 2);
    QCOMPARE(poll(json).object(),
        (QJsonObject {
            {u"access_token"_s, u"gho_issued"_s}, {u"token_type"_s, u"bearer"_s}, {u"scope"_s, u"repo,gist"_s}}));
    QCOMPARE(poll({}).body, QByteArray("access_token=gho_unknown&scope=repo&token_type=bearer"));
    // An empty script answers pending.
    QCOMPARE(error(), u"authorization_pending"_s);

    QCOMPARE(send("GET", api(u"/notifications"_s), {{"Authorization", "token gho_issued"}}).status, 200);
    QCOMPARE(send("GET", api(u"/notifications"_s), {{"Authorization", "token gho_unknown"}}).status, 401);
}

// The payloads the server builds have every key of GitHub's own examples, of the same
// type unless one of the two is null.
void TestFakeGitHub::payloadsHaveGitHubsFields()
{
    const auto sample = [](const QString& name) {
        const QJsonDocument document = QJsonDocument::fromJson(TestData::example(name));
        return document.isArray() ? document.array().first().toObject() : document.object();
    };
    const QJsonObject thread = sample(u"openapi/GET-notifications.200.thread-items.json"_s);
    const QJsonObject runs = sample(u"openapi/GET-repos-commits-ref-check-runs.200.check-run-paginated.json"_s);
    const GitHubPayloads payloads;
    const QJsonObject ours = payloads.thread({});
    const QList<std::pair<QJsonObject, QJsonObject>> pairs {{thread, ours},
        {thread[u"subject"_s].toObject(), ours[u"subject"_s].toObject()},
        {thread[u"repository"_s].toObject(), ours[u"repository"_s].toObject()},
        {thread[u"repository"_s][u"owner"_s].toObject(), payloads.user(u"octocat"_s)},
        {sample(u"openapi/GET-issues.200.issue-with-repo-items.json"_s), payloads.issue({.pullRequest = true})},
        {sample(u"openapi/GET-repos-pulls-number.200.pull-request.json"_s), payloads.pullRequest({})},
        {sample(u"openapi/GET-repos-pulls-number-reviews.200.pull-request-review-items.json"_s), payloads.review({})},
        {sample(u"octokit-fixtures/GET-repos-commits-sha-statuses.200.body.json"_s), payloads.status({})},
        {runs, payloads.checkRuns({payloads.checkRun({})})},
        {runs[u"check_runs"_s][0].toObject(), payloads.checkRun({})}};
    for (const auto& [expected, built] : pairs) {
        for (const QString& key : expected.keys()) {
            const QJsonValue::Type want = expected.value(key).type();
            const QJsonValue::Type have = built.value(key).type();
            QVERIFY2(built.contains(key) && (want == have || want == QJsonValue::Null || have == QJsonValue::Null),
                qPrintable(key));
        }
    }
}

void TestFakeGitHub::standaloneServesTheDemo()
{
    // A relative scenario directory, as a user types it.
    const QFileInfo demo(QStringLiteral(FAKE_GITHUB_DEMO_DIR));
    QProcess process;
    process.setWorkingDirectory(demo.absolutePath());
    process.start(QStringLiteral(FAKE_GITHUB_EXECUTABLE), {u"--data"_s, demo.fileName()});
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 10000);
    const QString base = QString::fromUtf8(process.readLine().trimmed());
    QVERIFY2(QRegularExpression(u"^http://127\\.0\\.0\\.1:[0-9]+$"_s).match(base).hasMatch(), qPrintable(base));
    QFile tokenFile(demo.filePath() + u"/token"_s);
    QVERIFY(tokenFile.open(QIODevice::ReadOnly));
    const Headers auth {{"Authorization", "token " + tokenFile.readAll().trimmed()}};
    const auto get = [&](const QString& url) { return send("GET", QUrl(url), auth); };

    const Exchange threads = get(base + u"/notifications?all=false&page=1"_s);
    QCOMPARE(threads.status, 200);
    QVERIFY(threads.array().size() >= 5);
    // The scenario's time stamps moved so that the newest thread is an hour old.
    const QDateTime newest = QDateTime::fromString(threads.array().at(0)[u"updated_at"_s].toString(), Qt::ISODate);
    QVERIFY(qAbs(newest.secsTo(QDateTime::currentDateTimeUtc()) - 3600) < 600);
    QString subjectUrl;
    for (const QJsonValue& thread : threads.array()) {
        if (thread[u"subject"_s][u"type"_s] == u"PullRequest"_s)
            subjectUrl = thread[u"subject"_s][u"url"_s].toString();
    }
    QVERIFY2(subjectUrl.startsWith(base + u"/repos/"_s), qPrintable(subjectUrl));

    const Exchange pull = get(subjectUrl);
    QCOMPARE(pull.status, 200);
    const QString sha = pull.object()[u"head"_s][u"sha"_s].toString();
    QCOMPARE(get(pull.object()[u"statuses_url"_s].toString()).status, 200);
    QCOMPARE(get(subjectUrl + u"/reviews"_s).status, 200);
    QVERIFY(get(subjectUrl.section(u"/pulls/"_s, 0, 0) + u"/commits/"_s + sha + u"/check-runs"_s)
                .object()
                .contains(u"check_runs"_s));
    QCOMPARE(get(base + u"/issues?filter=assigned"_s).status, 200);

    process.kill();
    process.waitForFinished();
}

QTEST_GUILESS_MAIN(TestFakeGitHub)
#include "tst_fakegithub.moc"

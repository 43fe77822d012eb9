#include "FakeGitHub.h"
#include "HttpDate.h"
#include "HttpRequestParser.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimeZone>
#include <QUrlQuery>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kToken = u"ghp_secret"_s;

using Headers = QList<std::pair<QByteArray, QByteArray>>;

Headers authorizedBy(const QString& token = kToken)
{
    return {{"Authorization", "token " + token.toUtf8()}};
}

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

QStringList missingKeys(const QJsonObject& example, const QJsonObject& ours)
{
    QStringList missing;
    for (const QString& key : example.keys()) {
        if (!ours.contains(key))
            missing << key;
    }
    return missing;
}

QJsonDocument readExample(const QString& relativePath)
{
    QFile file(QStringLiteral(TIDEWHELK_EXAMPLES) + u'/' + relativePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll());
}

// The links of a Link header, in header order.
QList<std::pair<QString, QUrl>> links(const QByteArray& header)
{
    QList<std::pair<QString, QUrl>> result;
    static const QRegularExpression pattern(uR"re(<([^>]*)>; rel="(\w+)")re"_s);
    for (const auto& match : pattern.globalMatch(QString::fromLatin1(header)))
        result.append({match.captured(2), QUrl(match.captured(1))});
    return result;
}

QUrl link(const QByteArray& header, const QString& rel)
{
    for (const auto& [name, url] : links(header)) {
        if (name == rel)
            return url;
    }
    return {};
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
    void notificationsAreFilteredAndNewestFirst_data();
    void notificationsAreFilteredAndNewestFirst();
    void assignedIssuesFollowGitHubsQuery_data();
    void assignedIssuesFollowGitHubsQuery();
    void listsArePagedWithLinkHeaders_data();
    void listsArePagedWithLinkHeaders();
    void nextLinksLeadThroughEveryPage();
    void patchMarksThreadRead();
    void resourcesAreServedByPath();
    void apiPrefixEmulatesEnterprise();

    void conditionalGetAnswersNotModified_data();
    void conditionalGetAnswersNotModified();
    void changedResourceGetsNewETagAndFullReply();
    void repliesCarryGitHubsHeaders_data();
    void repliesCarryGitHubsHeaders();
    void rateLimitCountsFullRepliesAndRunsOut();

    void requestsAreRecorded();
    void keepAliveReusesOneConnection();
    void connectionCloseIsHonoured();
    void parserAssemblesRequestsFromPieces();
    void pipelinedRequestsAreAnsweredInOrder();
    void malformedRequestGets400();

    void faultRepliesReachTheClient_data();
    void faultRepliesReachTheClient();
    void droppedConnectionGivesNoReply();
    void neverAnsweredRequestStaysOpen();
    void delayFaultPostponesOneReply();
    void faultsMatchTargetAndCount();
    void latencyOverlapsConcurrentRequests();

    void deviceCodeReplyFollowsAccept_data();
    void deviceCodeReplyFollowsAccept();
    void tokenPollsFollowTheScript();
    void successCanLeaveTokenUnaccepted();

    void payloadsHaveGitHubsFields_data();
    void payloadsHaveGitHubsFields();
    void largeIdsSurviveTheWire();

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
    Exchange exchange;
    exchange.finished = reply->isFinished();
    exchange.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    exchange.error = reply->error();
    exchange.body = reply->readAll();
    exchange.headers = reply->rawHeaderPairs();
    return exchange;
}

Exchange TestFakeGitHub::get(const QString& pathAndQuery, const Headers& headers)
{
    Headers all = authorizedBy();
    all << std::pair<QByteArray, QByteArray>("Accept", "application/vnd.github+json") << headers;
    return send("GET", api(pathAndQuery), all);
}

Exchange TestFakeGitHub::post(const QString& path, const QByteArray& body, const QByteArray& accept)
{
    Headers headers {{"Content-Type", "application/x-www-form-urlencoded"}};
    if (!accept.isEmpty())
        headers.append({"Accept", accept});
    return send("POST", QUrl(m_server->webBaseUrl().toString() + path), headers, body);
}

void TestFakeGitHub::addThreads(int count)
{
    const GitHubPayloads payloads = m_server->payloads();
    for (int i = 1; i <= count; ++i) {
        const QString updatedAt
            = QDateTime(QDate(2025, 3, 1), QTime(0, 0), QTimeZone::utc()).addSecs(i).toString(Qt::ISODate);
        m_server->addNotification(payloads.thread({.id = QString::number(i), .updatedAt = updatedAt}));
    }
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

    Headers headers;
    if (!authorization.isNull())
        headers.append({"Authorization", authorization});
    const Exchange reply = send("GET", api(u"/notifications"_s), headers);

    QCOMPARE(reply.status, status);
    if (status == 401) {
        QCOMPARE(reply.object(), readExample(u"docs/error-401.bad-credentials.body.json"_s).object());
        QCOMPARE(m_server->rateLimitRemaining(), RateLimit::defaultLimit);
    }
}

void TestFakeGitHub::notificationsAreFilteredAndNewestFirst_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("unread only, newest first") << u"all=false"_s << QStringList {u"3"_s, u"1"_s, u"4"_s};
    QTest::newRow("no all parameter means unread only") << QString() << QStringList {u"3"_s, u"1"_s, u"4"_s};
    QTest::newRow("all=true adds the read thread") << u"all=true"_s << QStringList {u"3"_s, u"2"_s, u"1"_s, u"4"_s};
    QTest::newRow("since keeps threads updated at or after it")
        << u"all=false&since=2025-03-02T00:00:00Z"_s << QStringList {u"3"_s, u"1"_s};
    QTest::newRow("since after everything gives an empty list") << u"since=2030-01-01T00:00:00Z"_s << QStringList {};
}

void TestFakeGitHub::notificationsAreFilteredAndNewestFirst()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    const GitHubPayloads payloads = m_server->payloads();
    m_server->setNotifications({
        payloads.thread({.id = u"1"_s, .updatedAt = u"2025-03-02T00:00:00Z"_s}),
        payloads.thread({.id = u"2"_s, .unread = false, .updatedAt = u"2025-03-02T12:00:00Z"_s}),
        payloads.thread({.id = u"3"_s, .updatedAt = u"2025-03-03T00:00:00Z"_s}),
        payloads.thread({.id = u"4"_s, .updatedAt = u"2025-03-01T23:59:59Z"_s}),
    });

    const Exchange reply = get(u"/notifications?"_s + query + u"&page=1"_s);

    QCOMPARE(reply.status, 200);
    QCOMPARE(ids(reply.array()), expected);
}

void TestFakeGitHub::assignedIssuesFollowGitHubsQuery_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("open only, most recently created first") << u"filter=assigned"_s << QStringList {u"30"_s, u"10"_s};
    QTest::newRow("state=all adds the closed item")
        << u"filter=assigned&state=all"_s << QStringList {u"30"_s, u"20"_s, u"10"_s};
    QTest::newRow("sort=updated orders by update time")
        << u"filter=assigned&sort=updated"_s << QStringList {u"10"_s, u"30"_s};
    QTest::newRow("direction=asc reverses") << u"filter=assigned&direction=asc"_s << QStringList {u"10"_s, u"30"_s};
    QTest::newRow("since drops items updated before it")
        << u"filter=assigned&since=2025-03-04T00:00:00Z"_s << QStringList {u"10"_s};
}

void TestFakeGitHub::assignedIssuesFollowGitHubsQuery()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    const GitHubPayloads payloads = m_server->payloads();
    m_server->setAssignedIssues({
        payloads.issue({.id = 10, .updatedAt = u"2025-03-05T00:00:00Z"_s, .createdAt = u"2025-01-01T00:00:00Z"_s}),
        payloads.issue({.id = 20,
            .state = u"closed"_s,
            .updatedAt = u"2025-03-04T00:00:00Z"_s,
            .createdAt = u"2025-01-02T00:00:00Z"_s}),
        payloads.issue({.id = 30,
            .pullRequest = true,
            .updatedAt = u"2025-03-03T00:00:00Z"_s,
            .createdAt = u"2025-01-03T00:00:00Z"_s}),
    });

    const Exchange reply = get(u"/issues?"_s + query + u"&page=1"_s);

    QCOMPARE(reply.status, 200);
    QCOMPARE(ids(reply.array()), expected);
}

void TestFakeGitHub::listsArePagedWithLinkHeaders_data()
{
    QTest::addColumn<int>("threads");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("items");
    QTest::addColumn<QStringList>("rels"); // in header order
    QTest::addColumn<int>("next");
    QTest::addColumn<int>("last");

    QTest::newRow("first of three pages: next and last")
        << 5 << u"per_page=2&page=1"_s << 2 << QStringList {u"next"_s, u"last"_s} << 2 << 3;
    QTest::newRow("middle page: prev, next, last, first")
        << 5 << u"per_page=2&page=2"_s << 2 << QStringList {u"prev"_s, u"next"_s, u"last"_s, u"first"_s} << 3 << 3;
    QTest::newRow("last page has no next")
        << 5 << u"per_page=2&page=3"_s << 1 << QStringList {u"prev"_s, u"first"_s} << 0 << 0;
    QTest::newRow("one page needs no Link header") << 3 << u"page=1"_s << 3 << QStringList {} << 0 << 0;
    QTest::newRow("default page size is 50") << 51 << u"page=1"_s << 50 << QStringList {u"next"_s, u"last"_s} << 2 << 2;
    QTest::newRow("per_page is capped at 100")
        << 101 << u"per_page=500"_s << 100 << QStringList {u"next"_s, u"last"_s} << 2 << 2;
}

void TestFakeGitHub::listsArePagedWithLinkHeaders()
{
    QFETCH(int, threads);
    QFETCH(QString, query);
    QFETCH(int, items);
    QFETCH(QStringList, rels);
    QFETCH(int, next);
    QFETCH(int, last);
    addThreads(threads);

    const Exchange reply = get(u"/notifications?all=false&since=2025-01-01T00:00:00Z&"_s + query);

    QCOMPARE(reply.array().size(), items);
    QStringList order;
    for (const auto& [rel, url] : links(reply.header("Link")))
        order << rel;
    QCOMPARE(order, rels);
    if (next > 0) {
        const QUrl nextUrl = link(reply.header("Link"), u"next"_s);
        QCOMPARE(nextUrl.adjusted(QUrl::RemoveQuery), api(u"/notifications"_s));
        QCOMPARE(QUrlQuery(nextUrl).queryItemValue(u"page"_s), QString::number(next));
        QCOMPARE(QUrlQuery(nextUrl).queryItemValue(u"since"_s), u"2025-01-01T00:00:00Z"_s);
        QCOMPARE(QUrlQuery(link(reply.header("Link"), u"last"_s)).queryItemValue(u"page"_s), QString::number(last));
    }
}

void TestFakeGitHub::nextLinksLeadThroughEveryPage()
{
    addThreads(7);
    QStringList seen;
    QUrl url = api(u"/notifications?all=false&per_page=3&page=1"_s);
    for (int page = 0; page < 10 && url.isValid(); ++page) {
        const Exchange reply = send("GET", url, authorizedBy());
        QCOMPARE(reply.status, 200);
        seen << ids(reply.array());
        url = link(reply.header("Link"), u"next"_s);
    }
    QCOMPARE(seen, (QStringList {u"7"_s, u"6"_s, u"5"_s, u"4"_s, u"3"_s, u"2"_s, u"1"_s}));
}

void TestFakeGitHub::patchMarksThreadRead()
{
    const GitHubPayloads payloads = m_server->payloads();
    m_server->setNotifications({payloads.thread({.id = u"1"_s}), payloads.thread({.id = u"2"_s})});

    const Exchange marked = send("PATCH", api(u"/notifications/threads/1"_s), authorizedBy(), "{}");
    QCOMPARE(marked.status, 205);
    QVERIFY(marked.body.isEmpty());

    QCOMPARE(ids(get(u"/notifications?all=false"_s).array()), QStringList {u"2"_s});
    const QJsonArray all = get(u"/notifications?all=true"_s).array();
    QCOMPARE(ids(all), (QStringList {u"1"_s, u"2"_s}));
    QCOMPARE(all.at(0)[u"unread"_s].toBool(true), false);
    QVERIFY(!all.at(0)[u"last_read_at"_s].toString().isEmpty());
    QCOMPARE(m_server->notification(u"1"_s).value_or(QJsonObject())[u"unread"_s].toBool(true), false);

    QCOMPARE(send("PATCH", api(u"/notifications/threads/99"_s), authorizedBy(), "{}").status, 404);
}

void TestFakeGitHub::resourcesAreServedByPath()
{
    const GitHubPayloads payloads = m_server->payloads();
    const QJsonObject pull = payloads.pullRequest({.repository = u"o/r"_s, .number = 5, .merged = true});
    m_server->setResource(u"/repos/o/r/pulls/5"_s, pull);
    const QJsonArray statuses {payloads.status({.repository = u"o/r"_s, .state = u"failure"_s})};
    m_server->setResource(pull[u"statuses_url"_s].toString(), statuses);
    m_server->setResource(u"/repos/o/r/issues/9"_s, GitHubPayloads::error(u"Issue gone"_s), 410);

    QCOMPARE(get(u"/repos/o/r/pulls/5"_s).object(), pull);
    QCOMPARE(QUrl(pull[u"url"_s].toString()), api(u"/repos/o/r/pulls/5"_s));
    QCOMPARE(get(QUrl(pull[u"statuses_url"_s].toString()).path()).array(), statuses);
    const Exchange gone = get(u"/repos/o/r/issues/9"_s);
    QCOMPARE(gone.status, 410);
    QCOMPARE(gone.object()[u"message"_s].toString(), u"Issue gone"_s);

    const Exchange unknown = get(u"/repos/o/r/pulls/6"_s);
    QCOMPARE(unknown.status, 404);
    QCOMPARE(unknown.object(), GitHubPayloads::error(u"Not Found"_s));

    m_server->removeResource(u"/repos/o/r/pulls/5"_s);
    QCOMPARE(get(u"/repos/o/r/pulls/5"_s).status, 404);
}

void TestFakeGitHub::apiPrefixEmulatesEnterprise()
{
    m_server->setApiPrefix(u"/api/v3"_s);
    addThreads(3);
    const GitHubPayloads payloads = m_server->payloads();
    const QJsonObject pull = payloads.pullRequest({.number = 2});
    m_server->setResource(pull[u"url"_s].toString(), pull);

    QCOMPARE(m_server->apiBaseUrl(), QUrl(m_server->url().toString() + u"/api/v3"_s));
    const Exchange list = get(u"/notifications?per_page=2"_s);
    QCOMPARE(list.status, 200);
    QVERIFY(list.array().at(0)[u"url"_s].toString().startsWith(m_server->apiBaseUrl().toString()));
    QCOMPARE(link(list.header("Link"), u"next"_s).path(), u"/api/v3/notifications"_s);
    QCOMPARE(m_server->requestsTo(u"/notifications"_s).size(), 1);
    QCOMPARE(get(u"/repos/octocat/Hello-World/pulls/2"_s).object(), pull);

    const Exchange outside = send("GET", QUrl(m_server->url().toString() + u"/notifications"_s), authorizedBy());
    QCOMPARE(outside.status, 404);
    QCOMPARE(post(u"/login/device/code"_s, "client_id=abc", "application/json").status, 200);
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
    addThreads(2);
    const Exchange first = get(u"/notifications"_s);
    const QByteArray etag = first.header("ETag");
    const QByteArray lastModified = first.header("Last-Modified");
    const QDateTime last = HttpDate::parse(lastModified);
    QVERIFY(last.isValid());

    Headers headers;
    if (!ifNoneMatch.isEmpty())
        headers.append({"If-None-Match",
            QByteArray(ifNoneMatch).replace("{etag}", etag).replace("{bare}", etag.mid(1, etag.size() - 2))});
    if (!ifModifiedSince.isEmpty())
        headers.append({"If-Modified-Since",
            QByteArray(ifModifiedSince)
                .replace("{last}", lastModified)
                .replace("{earlier}", HttpDate::format(last.addSecs(-3600)))});
    const int remaining = m_server->rateLimitRemaining();
    const Exchange again = get(u"/notifications"_s, headers);

    QCOMPARE(again.status, status);
    QCOMPARE(again.header("ETag"), etag);
    if (status == 304) {
        QVERIFY(again.body.isEmpty());
        QCOMPARE(m_server->rateLimitRemaining(), remaining);
        QCOMPARE(again.header("X-RateLimit-Remaining"), QByteArray::number(remaining));
        QVERIFY(m_server->requests().last().notModified());
    } else {
        QCOMPARE(again.body, first.body);
        QCOMPARE(m_server->rateLimitRemaining(), remaining - 1);
    }
}

void TestFakeGitHub::changedResourceGetsNewETagAndFullReply()
{
    const GitHubPayloads payloads = m_server->payloads();
    m_server->setResource(u"/repos/o/r/pulls/1"_s, payloads.pullRequest({.repository = u"o/r"_s, .number = 1}));
    const Exchange first = get(u"/repos/o/r/pulls/1"_s);
    m_server->setResource(u"/repos/o/r/pulls/1"_s, payloads.pullRequest({.repository = u"o/r"_s, .number = 1}));
    QCOMPARE(get(u"/repos/o/r/pulls/1"_s, {{"If-Modified-Since", first.header("Last-Modified")}}).status, 304);

    m_server->setResource(
        u"/repos/o/r/pulls/1"_s, payloads.pullRequest({.repository = u"o/r"_s, .number = 1, .merged = true}));

    const Exchange byTag = get(u"/repos/o/r/pulls/1"_s, {{"If-None-Match", first.header("ETag")}});
    QCOMPARE(byTag.status, 200);
    QVERIFY(byTag.header("ETag") != first.header("ETag"));
    QCOMPARE(byTag.object()[u"merged"_s].toBool(), true);
    const Exchange byDate = get(u"/repos/o/r/pulls/1"_s, {{"If-Modified-Since", first.header("Last-Modified")}});
    QCOMPARE(byDate.status, 200);
    QVERIFY(HttpDate::parse(byDate.header("Last-Modified")) > HttpDate::parse(first.header("Last-Modified")));
    QCOMPARE(get(u"/repos/o/r/pulls/1"_s, {{"If-None-Match", byTag.header("ETag")}}).status, 304);
}

void TestFakeGitHub::repliesCarryGitHubsHeaders_data()
{
    QTest::addColumn<bool>("weak");
    QTest::addColumn<int>("maxAge");
    QTest::addColumn<QString>("etagPattern");

    QTest::newRow("strong tag, max-age 60 by default") << false << -1 << uR"(^"[0-9a-f]{64}"$)"_s;
    QTest::newRow("weak tag when asked") << true << -1 << uR"(^W/"[0-9a-f]{64}"$)"_s;
    QTest::newRow("max-age 0 makes replies stale at once") << false << 0 << uR"(^"[0-9a-f]{64}"$)"_s;
}

void TestFakeGitHub::repliesCarryGitHubsHeaders()
{
    QFETCH(bool, weak);
    QFETCH(int, maxAge);
    QFETCH(QString, etagPattern);
    m_server->setWeakETags(weak);
    if (maxAge >= 0)
        m_server->setMaxAge(maxAge);
    addThreads(1);

    const Exchange reply = get(u"/notifications"_s);

    QCOMPARE(reply.header("Content-Type"), QByteArray("application/json; charset=utf-8"));
    QCOMPARE(reply.header("Cache-Control"), "private, max-age=" + QByteArray::number(maxAge < 0 ? 60 : maxAge));
    QCOMPARE(reply.header("Vary"), QByteArray("Accept, Authorization, Cookie, X-GitHub-OTP"));
    QVERIFY(QRegularExpression(etagPattern).match(QString::fromLatin1(reply.header("ETag"))).hasMatch());
    const QDateTime lastModified = HttpDate::parse(reply.header("Last-Modified"));
    QVERIFY(lastModified.isValid());
    QVERIFY(qAbs(lastModified.secsTo(QDateTime::currentDateTimeUtc())) < 60);
    QCOMPARE(reply.header("X-RateLimit-Limit"), QByteArray("5000"));
    QCOMPARE(reply.header("X-RateLimit-Remaining"), QByteArray("4999"));
    QCOMPARE(reply.header("X-RateLimit-Used"), QByteArray("1"));
    QCOMPARE(reply.header("X-RateLimit-Resource"), QByteArray("core"));
    const qint64 reset = reply.header("X-RateLimit-Reset").toLongLong();
    QVERIFY(reset > QDateTime::currentSecsSinceEpoch() && reset <= QDateTime::currentSecsSinceEpoch() + 3600);
    QVERIFY(HttpDate::parse(reply.header("Date")).isValid());
}

void TestFakeGitHub::rateLimitCountsFullRepliesAndRunsOut()
{
    m_server->setRateLimit(5000, 2);
    QCOMPARE(get(u"/notifications"_s).header("X-RateLimit-Remaining"), QByteArray("1"));
    QCOMPARE(get(u"/repos/o/r/pulls/1"_s).header("X-RateLimit-Remaining"), QByteArray("0"));

    const Exchange refused = get(u"/notifications"_s);
    QCOMPARE(refused.status, 403);
    QCOMPARE(refused.header("X-RateLimit-Remaining"), QByteArray("0"));
    QCOMPARE(refused.object(), readExample(u"docs/error-403.rate-limit-exceeded.body.json"_s).object());
    QCOMPARE(m_server->fullCostCount(), 1);
}

void TestFakeGitHub::requestsAreRecorded()
{
    QSignalSpy received(m_server.get(), &FakeGitHub::requestReceived);
    QSignalSpy handled(m_server.get(), &FakeGitHub::requestHandled);
    addThreads(1);

    get(u"/notifications?all=false&page=1"_s, {{"X-Custom", "value"}});
    send("PATCH", api(u"/notifications/threads/1"_s), authorizedBy(), "{}");
    post(u"/login/device/code"_s, "client_id=abc&scope=notifications%20repo", "application/json");

    QCOMPARE(m_server->requests().size(), 3);
    QCOMPARE(received.size(), 3);
    QCOMPARE(handled.size(), 3);
    const RecordedRequest list = m_server->requestsTo(u"/notifications"_s).value(0);
    QCOMPARE(list.request.method, QByteArray("GET"));
    QCOMPARE(list.request.target, QByteArray("/notifications?all=false&page=1"));
    QCOMPARE(list.request.queryValue(u"page"_s), u"1"_s);
    QCOMPARE(list.request.header("authorization"), "token " + kToken.toUtf8());
    QCOMPARE(list.request.header("x-CUSTOM"), QByteArray("value"));
    QCOMPARE(list.status, 200);
    QCOMPARE(list.outcome, RecordedRequest::Outcome::Answered);
    const RecordedRequest patch = m_server->requestsUnder(u"/notifications/"_s).value(0);
    QCOMPARE(patch.request.body, QByteArray("{}"));
    QCOMPARE(patch.status, 205);
    const RecordedRequest device = m_server->requestsTo(u"/login/device/code"_s).value(0);
    QCOMPARE(device.request.body, QByteArray("client_id=abc&scope=notifications%20repo"));
    QCOMPARE(handled.last().at(0).value<RecordedRequest>().path, u"/login/device/code"_s);
    QCOMPARE(m_server->fullCostCount(), 2);

    m_server->clearRequests();
    QVERIFY(m_server->requests().isEmpty());
}

void TestFakeGitHub::keepAliveReusesOneConnection()
{
    addThreads(2);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(get(u"/notifications"_s).status, 200);

    QCOMPARE(m_server->connectionCount(), 1);
    for (const RecordedRequest& request : m_server->requests())
        QCOMPARE(request.request.connection, 1);
}

void TestFakeGitHub::connectionCloseIsHonoured()
{
    QCOMPARE(get(u"/notifications"_s, {{"Connection", "close"}}).status, 200);
    QCOMPARE(get(u"/notifications"_s).status, 200);

    QCOMPARE(m_server->connectionCount(), 2);
    QCOMPARE(m_server->requests().at(1).request.connection, 2);
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
}

void TestFakeGitHub::pipelinedRequestsAreAnsweredInOrder()
{
    // The first reply is held back; the second must still come after it.
    m_server->injectFault(FaultTarget::path(u"/login/oauth/access_token"_s), Fault::delay(100ms));
    QTcpSocket socket;
    QByteArray received;
    connect(&socket, &QTcpSocket::readyRead, this, [&] { received += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, m_server->port());
    socket.write("POST /login/oauth/access_token HTTP/1.1\r\nHost: x\r\nContent-Length: 4\r\n\r\na=bc"
                 "GET /notifications HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");

    QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
    const qsizetype ok = received.indexOf("HTTP/1.1 200 OK\r\n");
    const qsizetype unauthorized = received.indexOf("HTTP/1.1 401 Unauthorized\r\n");
    QCOMPARE(ok, 0);
    QVERIFY(unauthorized > ok);
    QVERIFY(received.indexOf("Connection: close", unauthorized) > unauthorized);
    QCOMPARE(m_server->requests().at(0).request.body, QByteArray("a=bc"));
}

void TestFakeGitHub::malformedRequestGets400()
{
    QTcpSocket socket;
    QByteArray received;
    connect(&socket, &QTcpSocket::readyRead, this, [&] { received += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, m_server->port());
    socket.write("NOT-HTTP\r\n\r\n");

    QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(received.startsWith("HTTP/1.1 400 Bad Request\r\n"));
    QVERIFY(m_server->requests().isEmpty());
}

void TestFakeGitHub::faultRepliesReachTheClient_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<bool>("validJson");

    QTest::newRow("a 503 with a JSON body") << u"503"_s << 503 << QByteArray("application/json") << true;
    QTest::newRow("rate limited with a reset time") << u"rate"_s << 403 << QByteArray("application/json") << true;
    QTest::newRow("malformed JSON") << u"malformed"_s << 200 << QByteArray("application/json") << false;
    QTest::newRow("JSON cut in half") << u"truncated"_s << 200 << QByteArray("application/json") << false;
    QTest::newRow("an HTML page") << u"html"_s << 502 << QByteArray("text/html") << false;
}

void TestFakeGitHub::faultRepliesReachTheClient()
{
    QFETCH(QString, fault);
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(bool, validJson);
    addThreads(3);
    const Exchange normal = get(u"/notifications"_s);
    const QDateTime reset = QDateTime::fromSecsSinceEpoch(1377013266);
    const QHash<QString, Fault> faults {
        {u"503"_s, Fault::reply(503, R"({"message":"Server Error"})", {{"Retry-After", "30"}})},
        {u"rate"_s, Fault::rateLimited(reset)},
        {u"malformed"_s, Fault::malformedJson()},
        {u"truncated"_s, Fault::truncatedJson()},
        {u"html"_s, Fault::html(502)},
    };
    m_server->injectFault(FaultTarget::path(u"/notifications"_s), faults.value(fault, Fault::neverAnswer()));

    const Exchange faulty = get(u"/notifications"_s);

    QCOMPARE(faulty.status, status);
    QVERIFY(faulty.header("Content-Type").startsWith(contentType));
    QJsonParseError error;
    QJsonDocument::fromJson(faulty.body, &error);
    QCOMPARE(error.error == QJsonParseError::NoError, validJson);
    if (fault == u"rate"_s) {
        QCOMPARE(faulty.header("X-RateLimit-Remaining"), QByteArray("0"));
        QCOMPARE(faulty.header("X-RateLimit-Reset"), QByteArray("1377013266"));
        QCOMPARE(faulty.object(), readExample(u"docs/error-403.rate-limit-exceeded.body.json"_s).object());
    }
    if (fault == u"503"_s)
        QCOMPARE(faulty.header("Retry-After"), QByteArray("30"));
    if (fault == u"truncated"_s)
        QVERIFY(normal.body.startsWith(faulty.body) && faulty.body.size() < normal.body.size());
    QCOMPARE(get(u"/notifications"_s).body, normal.body);
}

void TestFakeGitHub::droppedConnectionGivesNoReply()
{
    // Qt resends a request whose connection closed before any reply, so drop every time.
    m_server->injectFault(FaultTarget::path(u"/notifications"_s), Fault::dropConnection(), FakeGitHub::always);

    const Exchange reply = get(u"/notifications"_s);

    QVERIFY(reply.finished);
    QCOMPARE(reply.status, 0);
    QCOMPARE(reply.error, QNetworkReply::RemoteHostClosedError);
    QVERIFY(!m_server->requests().isEmpty());
    for (const RecordedRequest& request : m_server->requests())
        QCOMPARE(request.outcome, RecordedRequest::Outcome::Dropped);
}

void TestFakeGitHub::neverAnsweredRequestStaysOpen()
{
    m_server->injectFault(FaultTarget::path(u"/notifications"_s), Fault::neverAnswer());
    QNetworkRequest request(api(u"/notifications"_s));
    request.setRawHeader("Authorization", "token " + kToken.toUtf8());
    std::unique_ptr<QNetworkReply> hanging(m_network->get(request));
    QTRY_COMPARE(m_server->requests().size(), 1);

    QCOMPARE(get(u"/issues"_s).status, 200);

    QVERIFY(!hanging->isFinished());
    QCOMPARE(m_server->requestsTo(u"/notifications"_s).value(0).outcome, RecordedRequest::Outcome::Pending);
    QCOMPARE(m_server->connectionCount(), 2);
    hanging->abort();
}

void TestFakeGitHub::delayFaultPostponesOneReply()
{
    m_server->injectFault(FaultTarget::path(u"/notifications"_s), Fault::delay(300ms));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(get(u"/notifications"_s).status, 200);
    QVERIFY(clock.elapsed() >= 300);

    clock.restart();
    QCOMPARE(get(u"/notifications"_s).status, 200);
    QVERIFY(clock.elapsed() < 300);
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
    QCOMPARE(send("PATCH", api(u"/repos/o/r/pulls/1"_s), authorizedBy()).status, 404);

    m_server->clearFaults();
    QCOMPARE(get(u"/repos/o/r/pulls/1"_s).status, 404);
}

void TestFakeGitHub::latencyOverlapsConcurrentRequests()
{
    m_server->setLatency(200ms);
    QNetworkRequest request(api(u"/notifications"_s));
    request.setRawHeader("Authorization", "token " + kToken.toUtf8());
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QNetworkReply>> replies;
    for (int i = 0; i < 6; ++i) // Qt opens up to six connections per host
        replies.emplace_back(m_network->get(request));

    for (const auto& reply : replies)
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 5000);

    QVERIFY(clock.elapsed() >= 200);
    QVERIFY2(clock.elapsed() < 900, "six requests with 200 ms latency must overlap");
    for (const auto& reply : replies)
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
}

void TestFakeGitHub::deviceCodeReplyFollowsAccept_data()
{
    QTest::addColumn<QByteArray>("accept");
    QTest::addColumn<QByteArray>("contentType");

    QTest::newRow("JSON with Accept: application/json")
        << QByteArray("application/json") << QByteArray("application/json; charset=utf-8");
    QTest::newRow("form-urlencoded without Accept")
        << QByteArray() << QByteArray("application/x-www-form-urlencoded; charset=utf-8");
}

void TestFakeGitHub::deviceCodeReplyFollowsAccept()
{
    QFETCH(QByteArray, accept);
    QFETCH(QByteArray, contentType);

    const Exchange reply = post(u"/login/device/code"_s, "client_id=abc&scope=repo", accept);

    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.header("Content-Type"), contentType);
    QJsonObject fields;
    if (accept.isEmpty()) {
        for (const auto& [key, value] : QUrlQuery(QString::fromLatin1(reply.body)).queryItems(QUrl::FullyDecoded))
            fields.insert(key, value);
    } else {
        fields = reply.object();
    }
    QCOMPARE(fields[u"user_code"_s].toString(), u"WDJB-MJHT"_s);
    QCOMPARE(fields[u"device_code"_s].toString(), u"3584d83530557fdd1f46af8289938c8ef79f9dc5"_s);
    QCOMPARE(fields[u"verification_uri"_s].toString(), m_server->webBaseUrl().toString() + u"/login/device"_s);
    QCOMPARE(fields[u"expires_in"_s].toVariant().toInt(), 900);
    QCOMPARE(fields[u"interval"_s].toVariant().toInt(), 5);
}

void TestFakeGitHub::tokenPollsFollowTheScript()
{
    m_server->setDeviceCodeReply(
        OAuthReply::deviceCode(u"https://example.test/device"_s, u"dc"_s, u"ABCD-EFGH"_s, 60, 8));
    m_server->queueTokenReply(OAuthReply::pending());
    m_server->queueTokenReply(OAuthReply::slowDown(10));
    m_server->queueTokenReply(OAuthReply::expired());
    m_server->queueTokenReply(OAuthReply::denied());
    m_server->queueTokenReply(OAuthReply::raw(400, R"({"error":"incorrect_device_code"})"));
    m_server->queueTokenReply(OAuthReply::success(u"gho_issued"_s));
    const QByteArray poll
        = "client_id=abc&device_code=dc&grant_type=urn%3Aietf%3Aparams%3Aoauth%3Agrant-type%3Adevice_code";

    QCOMPARE(post(u"/login/device/code"_s, "client_id=abc", "application/json").object()[u"interval"_s].toInt(), 8);
    QCOMPARE(send("GET", api(u"/user"_s), authorizedBy(u"gho_issued"_s)).status, 401);
    const Exchange pending = post(u"/login/oauth/access_token"_s, poll, "application/json");
    QCOMPARE(pending.status, 200);
    QCOMPARE(pending.object(),
        (QJsonObject {{u"error"_s, u"authorization_pending"_s},
            {u"error_description"_s, u"The authorization request is still pending."_s},
            {u"error_uri"_s,
                u"https://docs.github.com/developers/apps/authorizing-oauth-apps#error-codes-for-the-device-flow"_s}}));
    const Exchange slowDown = post(u"/login/oauth/access_token"_s, poll, "application/json");
    QCOMPARE(slowDown.object()[u"error"_s].toString(), u"slow_down"_s);
    QCOMPARE(slowDown.object()[u"interval"_s].toInt(), 10);
    QCOMPARE(post(u"/login/oauth/access_token"_s, poll, "application/json").object()[u"error"_s].toString(),
        u"expired_token"_s);
    QVERIFY(post(u"/login/oauth/access_token"_s, poll, {}).body.startsWith("error=access_denied&error_description="));
    QCOMPARE(post(u"/login/oauth/access_token"_s, poll, "application/json").status, 400);
    QCOMPARE(m_server->queuedTokenReplies(), 1);
    const Exchange success = post(u"/login/oauth/access_token"_s, poll, "application/json");
    QCOMPARE(success.object(),
        (QJsonObject {
            {u"access_token"_s, u"gho_issued"_s}, {u"token_type"_s, u"bearer"_s}, {u"scope"_s, u"repo,gist"_s}}));
    QCOMPARE(post(u"/login/oauth/access_token"_s, poll, "application/json").object()[u"error"_s].toString(),
        u"authorization_pending"_s);

    QCOMPARE(send("GET", api(u"/notifications"_s), authorizedBy(u"gho_issued"_s)).status, 200);
    QCOMPARE(m_server->requestsTo(u"/login/oauth/access_token"_s).value(0).request.body, poll);
}

void TestFakeGitHub::successCanLeaveTokenUnaccepted()
{
    m_server->queueTokenReply(OAuthReply::success(u"gho_unknown"_s, u"repo"_s, false));

    const Exchange success = post(u"/login/oauth/access_token"_s, "device_code=x", {});

    QCOMPARE(success.body, QByteArray("access_token=gho_unknown&scope=repo&token_type=bearer"));
    QCOMPARE(send("GET", api(u"/notifications"_s), authorizedBy(u"gho_unknown"_s)).status, 401);
}

void TestFakeGitHub::payloadsHaveGitHubsFields_data()
{
    QTest::addColumn<QString>("example");
    QTest::addColumn<QString>("kind");

    QTest::newRow("notification thread") << u"openapi/GET-notifications.200.thread-items.json"_s << u"thread"_s;
    QTest::newRow("thread subject") << u"openapi/GET-notifications.200.thread-items.json"_s << u"subject"_s;
    QTest::newRow("thread repository") << u"openapi/GET-notifications.200.thread-items.json"_s << u"repository"_s;
    QTest::newRow("repository owner") << u"openapi/GET-notifications.200.thread-items.json"_s << u"owner"_s;
    QTest::newRow("assigned pull request of GET /issues")
        << u"openapi/GET-issues.200.issue-with-repo-items.json"_s << u"issue"_s;
    QTest::newRow("pull request") << u"openapi/GET-repos-pulls-number.200.pull-request.json"_s << u"pull"_s;
    QTest::newRow("review") << u"openapi/GET-repos-pulls-number-reviews.200.pull-request-review-items.json"_s
                            << u"review"_s;
    QTest::newRow("commit status recorded from GitHub")
        << u"octokit-fixtures/GET-repos-commits-sha-statuses.200.body.json"_s << u"status"_s;
    QTest::newRow("check-run list") << u"openapi/GET-repos-commits-ref-check-runs.200.check-run-paginated.json"_s
                                    << u"checkRuns"_s;
    QTest::newRow("check run") << u"openapi/GET-repos-commits-ref-check-runs.200.check-run-paginated.json"_s
                               << u"checkRun"_s;
}

void TestFakeGitHub::payloadsHaveGitHubsFields()
{
    QFETCH(QString, example);
    QFETCH(QString, kind);
    const QJsonDocument document = readExample(example);
    QVERIFY2(!document.isNull(), qPrintable(example));
    const QJsonObject sample = document.isArray() ? document.array().first().toObject() : document.object();
    const GitHubPayloads payloads;
    const QJsonObject thread = payloads.thread({});
    const QHash<QString, std::pair<QJsonObject, QJsonObject>> pairs {
        {u"thread"_s, {sample, thread}},
        {u"subject"_s, {sample[u"subject"_s].toObject(), thread[u"subject"_s].toObject()}},
        {u"repository"_s, {sample[u"repository"_s].toObject(), thread[u"repository"_s].toObject()}},
        {u"owner"_s, {sample[u"repository"_s][u"owner"_s].toObject(), payloads.user(u"octocat"_s)}},
        {u"issue"_s, {sample, payloads.issue({.pullRequest = true})}},
        {u"pull"_s, {sample, payloads.pullRequest({})}},
        {u"review"_s, {sample, payloads.review({})}},
        {u"status"_s, {sample, payloads.status({})}},
        {u"checkRuns"_s, {sample, payloads.checkRuns({payloads.checkRun({})})}},
        {u"checkRun"_s, {sample[u"check_runs"_s][0].toObject(), payloads.checkRun({})}},
    };
    const auto [expected, ours] = pairs.value(kind);

    QCOMPARE(missingKeys(expected, ours), QStringList());
    for (const QString& key : expected.keys()) {
        const QJsonValue::Type want = expected.value(key).type();
        const QJsonValue::Type have = ours.value(key).type();
        if (want != QJsonValue::Null && have != QJsonValue::Null)
            QVERIFY2(want == have, qPrintable(key));
    }
}

void TestFakeGitHub::largeIdsSurviveTheWire()
{
    const GitHubPayloads payloads = m_server->payloads();
    m_server->setResource(u"/repos/o/r/statuses/abc"_s,
        QJsonArray {payloads.status({.id = 18402522398, .repository = u"o/r"_s, .sha = u"abc"_s})});
    m_server->addNotification(payloads.thread({.id = u"9007199254740993"_s}));

    const Exchange statuses = get(u"/repos/o/r/statuses/abc"_s);
    QVERIFY(statuses.body.contains("\"id\":18402522398"));
    QCOMPARE(statuses.array().at(0)[u"id"_s].toInteger(), 18402522398);
    QCOMPARE(get(u"/notifications"_s).array().at(0)[u"id"_s].toString(), u"9007199254740993"_s);
}

void TestFakeGitHub::standaloneServesTheDemo()
{
    // A relative scenario directory, as a user types it.
    const QFileInfo demo(QStringLiteral(FAKE_GITHUB_DEMO_DIR));
    QProcess process;
    process.setWorkingDirectory(demo.absolutePath());
    process.start(QStringLiteral(FAKE_GITHUB_EXECUTABLE), {u"--data"_s, demo.fileName()});
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 10000);
    const QUrl base(QString::fromUtf8(process.readLine().trimmed()));
    QCOMPARE(base.scheme(), u"http"_s);
    QCOMPARE(base.host(), u"127.0.0.1"_s);
    QVERIFY(base.port() > 0);
    QFile tokenFile(QStringLiteral(FAKE_GITHUB_DEMO_DIR) + u"/token"_s);
    QVERIFY(tokenFile.open(QIODevice::ReadOnly));
    const QByteArray auth = "token " + tokenFile.readAll().trimmed();

    const Exchange threads
        = send("GET", QUrl(base.toString() + u"/notifications?all=false&page=1"_s), {{"Authorization", auth}});
    QCOMPARE(threads.status, 200);
    QVERIFY(threads.array().size() >= 5);
    // The scenario's time stamps moved so that the newest thread is an hour old.
    const QDateTime newest = QDateTime::fromString(threads.array().at(0)[u"updated_at"_s].toString(), Qt::ISODate);
    QVERIFY(qAbs(newest.secsTo(QDateTime::currentDateTimeUtc()) - 3600) < 600);
    QJsonObject pullThread;
    for (const QJsonValue& thread : threads.array()) {
        if (thread[u"subject"_s][u"type"_s] == u"PullRequest"_s)
            pullThread = thread.toObject();
    }
    const QString subjectUrl = pullThread[u"subject"_s][u"url"_s].toString();
    QVERIFY2(subjectUrl.startsWith(base.toString() + u"/repos/"_s), qPrintable(subjectUrl));

    const Exchange pull = send("GET", QUrl(subjectUrl), {{"Authorization", auth}});
    QCOMPARE(pull.status, 200);
    for (const QString& url : {pull.object()[u"statuses_url"_s].toString(), QString(subjectUrl + u"/reviews"_s)})
        QCOMPARE(send("GET", QUrl(url), {{"Authorization", auth}}).status, 200);
    const QString sha = pull.object()[u"head"_s][u"sha"_s].toString();
    const QString checks = subjectUrl.section(u"/pulls/"_s, 0, 0) + u"/commits/"_s + sha + u"/check-runs"_s;
    QVERIFY(send("GET", QUrl(checks), {{"Authorization", auth}}).object().contains(u"check_runs"_s));
    QCOMPARE(send("GET", QUrl(base.toString() + u"/issues?filter=assigned"_s), {{"Authorization", auth}}).status, 200);

    process.kill();
    process.waitForFinished();
}

QTEST_GUILESS_MAIN(TestFakeGitHub)
#include "tst_fakegithub.moc"

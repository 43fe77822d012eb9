#include "TestData.h"
#include "github/CheckRunsResponse.h"
#include "github/JsonDecoder.h"
#include "github/StatusRules.h"
#include "github/StatusUrls.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QList<StatusCheck> statuses(const QStringList& states)
{
    QList<StatusCheck> result;
    for (const QString& state : states)
        result.append(StatusCheck {state, u"ci/"_s + state});
    return result;
}

// "status" or "status/conclusion".
QList<CheckRun> checkRuns(const QStringList& runs)
{
    QList<CheckRun> result;
    for (const QString& run : runs) {
        const QStringList parts = run.split(u'/');
        result.append(CheckRun {u"build"_s, parts[0], parts.size() > 1 ? std::optional(parts[1]) : std::nullopt});
    }
    return result;
}

// "login:STATE", in reply order; no login for a review without a user.
QList<Review> reviews(const QStringList& entries)
{
    QList<Review> result;
    for (const QString& entry : entries) {
        const QString login = entry.section(u':', 0, 0);
        result.append(Review {entry.section(u':', 1), login.isEmpty() ? std::nullopt : std::optional(User {login})});
    }
    return result;
}

const GitHubEndpoints github;
const GitHubEndpoints fakeServer(u"http://127.0.0.1:8443"_s, u"http://127.0.0.1:8443"_s);
const GitHubEndpoints enterprise(u"https://ghe.example.com/api/v3"_s, u"https://ghe.example.com"_s);

} // namespace

class TestStatusRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ciStatus_data();
    void ciStatus();
    void reviewStatus_data();
    void reviewStatus();
    void checkRunsUrl_data();
    void checkRunsUrl();
    void reviewsUrl_data();
    void reviewsUrl();
    void githubsExamplesReduce_data();
    void githubsExamplesReduce();
};

void TestStatusRules::ciStatus_data()
{
    QTest::addColumn<QStringList>("statusStates");
    QTest::addColumn<QStringList>("runs");
    QTest::addColumn<QString>("ci");

    QTest::newRow("nothing reported") << QStringList() << QStringList() << u"none"_s;
    QTest::newRow("success and pending statuses")
        << QStringList {u"success"_s, u"pending"_s} << QStringList() << u"pending"_s;
    QTest::newRow("success status, failed run")
        << QStringList {u"success"_s} << QStringList {u"completed/failure"_s} << u"failed"_s;
    QTest::newRow("one skipped run") << QStringList() << QStringList {u"completed/skipped"_s} << u"unknown"_s;
    QTest::newRow("completed run without conclusion, success status")
        << QStringList {u"success"_s} << QStringList {u"completed"_s} << u"passing"_s;
    QTest::newRow("error status is a failure") << QStringList {u"error"_s} << QStringList() << u"failed"_s;
    for (const char* conclusion : {"timed_out", "action_required", "cancelled"})
        QTest::addRow("run %s is a failure", conclusion)
            << QStringList() << QStringList {u"completed/"_s + QLatin1String(conclusion)} << u"failed"_s;
    QTest::newRow("failure beats pending")
        << QStringList {u"pending"_s, u"failure"_s} << QStringList {u"in_progress"_s} << u"failed"_s;
    QTest::newRow("pending beats unknown")
        << QStringList {u"weird"_s} << QStringList {u"queued"_s, u"completed/neutral"_s} << u"pending"_s;
    QTest::newRow("in-progress run beside a success")
        << QStringList {u"success"_s} << QStringList {u"in_progress"_s} << u"pending"_s;
    QTest::newRow("unknown status state") << QStringList {u"success"_s, u"expected"_s} << QStringList() << u"unknown"_s;
    QTest::newRow("run waiting without conclusion changes nothing")
        << QStringList() << QStringList {u"waiting"_s} << u"passing"_s;
    QTest::newRow("words compared exactly") << QStringList {u"FAILURE"_s} << QStringList() << u"unknown"_s;
}

void TestStatusRules::ciStatus()
{
    QFETCH(QStringList, statusStates);
    QFETCH(QStringList, runs);
    QFETCH(QString, ci);
    QCOMPARE(StatusRules::ciStatus(statuses(statusStates), checkRuns(runs)), ci);
}

void TestStatusRules::reviewStatus_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("review");

    QTest::newRow("no reviews") << QStringList() << u"not_reviewed"_s;
    QTest::newRow("approved, then changes requested by the same user")
        << QStringList {u"a:APPROVED"_s, u"a:CHANGES_REQUESTED"_s} << u"changes_requested"_s;
    QTest::newRow("changes requested, then approved by the same user")
        << QStringList {u"a:CHANGES_REQUESTED"_s, u"a:APPROVED"_s} << u"approved"_s;
    QTest::newRow("one approves, another comments")
        << QStringList {u"a:APPROVED"_s, u"b:COMMENTED"_s} << u"partially_approved"_s;
    QTest::newRow("only comments") << QStringList {u"a:COMMENTED"_s, u"b:COMMENTED"_s} << u"commented"_s;
    QTest::newRow("only dismissed") << QStringList {u"a:DISMISSED"_s, u"b:DISMISSED"_s} << u"not_reviewed"_s;
    QTest::newRow("dismissal does not replace the earlier review")
        << QStringList {u"a:APPROVED"_s, u"a:DISMISSED"_s} << u"approved"_s;
    QTest::newRow("a later comment replaces an approval")
        << QStringList {u"a:APPROVED"_s, u"a:COMMENTED"_s} << u"commented"_s;
    QTest::newRow("changes requested by one of two approvers")
        << QStringList {u"a:APPROVED"_s, u"b:APPROVED"_s, u"b:CHANGES_REQUESTED"_s} << u"changes_requested"_s;
    QTest::newRow("approved by all") << QStringList {u"a:APPROVED"_s, u"b:COMMENTED"_s, u"b:APPROVED"_s}
                                     << u"approved"_s;
    QTest::newRow("approval beside a pending review")
        << QStringList {u"a:APPROVED"_s, u"b:PENDING"_s} << u"partially_approved"_s;
    QTest::newRow("a deleted account's approval counts for no one")
        << QStringList {u":APPROVED"_s, u"b:COMMENTED"_s} << u"commented"_s;
    QTest::newRow("only a deleted account reviewed") << QStringList {u":CHANGES_REQUESTED"_s} << u"not_reviewed"_s;
    QTest::newRow("logins compared exactly")
        << QStringList {u"Octocat:CHANGES_REQUESTED"_s, u"octocat:APPROVED"_s} << u"changes_requested"_s;
}

void TestStatusRules::reviewStatus()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, review);
    QCOMPARE(StatusRules::reviewStatus(reviews(entries)), review);
}

void TestStatusRules::checkRunsUrl_data()
{
    QTest::addColumn<GitHubEndpoints>("endpoints");
    QTest::addColumn<QString>("statusesUrl");
    QTest::addColumn<std::optional<QString>>("checkRunsUrl");

    const QString sha = u"6dcb09b5b57875f334f61aebed695e2e4193db5e"_s;
    QTest::newRow("api.github.com") << github << u"https://api.github.com/repos/octocat/Hello-World/statuses/"_s + sha
                                    << std::optional<QString>(
                                           u"https://api.github.com/repos/octocat/Hello-World/commits/"_s + sha
                                           + u"/check-runs"_s);
    QTest::newRow("host with port") << fakeServer << u"http://127.0.0.1:8443/repos/o/r/statuses/abc"_s
                                    << std::optional(u"http://127.0.0.1:8443/repos/o/r/commits/abc/check-runs"_s);
    QTest::newRow("base with a path") << enterprise << u"https://ghe.example.com/api/v3/repos/o/r/statuses/abc"_s
                                      << std::optional(
                                             u"https://ghe.example.com/api/v3/repos/o/r/commits/abc/check-runs"_s);
    QTest::newRow("no commit after statuses")
        << github << u"https://api.github.com/repos/o/r/statuses"_s << std::optional<QString>();
    QTest::newRow("another host") << github << u"https://evil.example.com/repos/o/r/statuses/abc"_s
                                  << std::optional<QString>();
    QTest::newRow("API host without its port")
        << fakeServer << u"http://127.0.0.1/repos/o/r/statuses/abc"_s << std::optional<QString>();
    QTest::newRow("outside the base's path")
        << enterprise << u"https://ghe.example.com/repos/o/r/statuses/abc"_s << std::optional<QString>();
    QTest::newRow("not a statuses URL") << github << u"https://api.github.com/repos/o/r/commits/abc"_s
                                        << std::optional<QString>();
    QTest::newRow("not under repos") << github << u"https://api.github.com/repositories/1/r/statuses/abc"_s
                                     << std::optional<QString>();
    QTest::newRow("relative") << github << u"/repos/o/r/statuses/abc"_s << std::optional<QString>();
    QTest::newRow("empty") << github << QString() << std::optional<QString>();
}

void TestStatusRules::checkRunsUrl()
{
    QFETCH(GitHubEndpoints, endpoints);
    QFETCH(QString, statusesUrl);
    QFETCH(std::optional<QString>, checkRunsUrl);
    QCOMPARE(StatusUrls::checkRunsUrl(statusesUrl, endpoints), checkRunsUrl);
}

void TestStatusRules::reviewsUrl_data()
{
    QTest::addColumn<GitHubEndpoints>("endpoints");
    QTest::addColumn<QString>("subjectUrl");
    QTest::addColumn<std::optional<QString>>("reviewsUrl");

    QTest::newRow("api.github.com") << github << u"https://api.github.com/repos/octocat/Hello-World/pulls/1347"_s
                                    << std::optional(
                                           u"https://api.github.com/repos/octocat/Hello-World/pulls/1347/reviews"_s);
    QTest::newRow("host with port") << fakeServer << u"http://127.0.0.1:8443/repos/o/r/pulls/12"_s
                                    << std::optional(u"http://127.0.0.1:8443/repos/o/r/pulls/12/reviews"_s);
    QTest::newRow("base with a path") << enterprise << u"https://ghe.example.com/api/v3/repos/o/r/pulls/12"_s
                                      << std::optional(u"https://ghe.example.com/api/v3/repos/o/r/pulls/12/reviews"_s);
    QTest::newRow("number written back in decimal")
        << github << u"https://api.github.com/repos/o/r/pulls/+0012"_s
        << std::optional(u"https://api.github.com/repos/o/r/pulls/12/reviews"_s);
    QTest::newRow("every digit") << github << u"https://api.github.com/repos/o/r/pulls/1234567890"_s
                                 << std::optional(u"https://api.github.com/repos/o/r/pulls/1234567890/reviews"_s);
    QTest::newRow("negative number") << github << u"https://api.github.com/repos/o/r/pulls/-3"_s
                                     << std::optional(u"https://api.github.com/repos/o/r/pulls/-3/reviews"_s);
    QTest::newRow("last component pulls")
        << github << u"https://api.github.com/repos/o/r/pulls"_s << std::optional<QString>();
    QTest::newRow("empty number") << github << u"https://api.github.com/repos/o/r/pulls/"_s << std::optional<QString>();
    QTest::newRow("sign alone") << github << u"https://api.github.com/repos/o/r/pulls/+"_s << std::optional<QString>();
    QTest::newRow("not numeric") << github << u"https://api.github.com/repos/o/r/pulls/12a"_s
                                 << std::optional<QString>();
    QTest::newRow("number with spaces") << github << u"https://api.github.com/repos/o/r/pulls/ 12"_s
                                        << std::optional<QString>();
    QTest::newRow("beyond 64 bits") << github << u"https://api.github.com/repos/o/r/pulls/99999999999999999999"_s
                                    << std::optional<QString>();
    QTest::newRow("an issue") << github << u"https://api.github.com/repos/o/r/issues/12"_s << std::optional<QString>();
    QTest::newRow("another host") << github << u"https://github.com/repos/o/r/pulls/12"_s << std::optional<QString>();
    QTest::newRow("base path missing") << enterprise << u"https://ghe.example.com/repos/o/r/pulls/12"_s
                                       << std::optional<QString>();
    QTest::newRow("short") << github << u"https://api.github.com/repos"_s << std::optional<QString>();
}

void TestStatusRules::reviewsUrl()
{
    QFETCH(GitHubEndpoints, endpoints);
    QFETCH(QString, subjectUrl);
    QFETCH(std::optional<QString>, reviewsUrl);
    QCOMPARE(StatusUrls::reviewsUrl(subjectUrl, endpoints), reviewsUrl);
}

void TestStatusRules::githubsExamplesReduce_data()
{
    QTest::addColumn<QString>("statusesFile");
    QTest::addColumn<QString>("checkRunsFile");
    QTest::addColumn<QString>("ci");

    const QString documented = u"openapi/GET-repos-commits-ref-statuses.200.status-items.json"_s;
    const QString recorded = u"octokit-fixtures/GET-repos-commits-sha-statuses.200.body.json"_s;
    const QString neutralRun = u"openapi/GET-repos-commits-ref-check-runs.200.check-run-paginated.json"_s;
    QTest::newRow("documented success status") << documented << QString() << u"passing"_s;
    QTest::newRow("recorded success and failure") << recorded << QString() << u"failed"_s;
    QTest::newRow("documented neutral check run") << QString() << neutralRun << u"unknown"_s;
    QTest::newRow("success status and neutral run") << documented << neutralRun << u"unknown"_s;
}

void TestStatusRules::githubsExamplesReduce()
{
    QFETCH(QString, statusesFile);
    QFETCH(QString, checkRunsFile);
    QFETCH(QString, ci);

    QList<StatusCheck> statuses;
    if (!statusesFile.isEmpty())
        statuses = TestData::decodedOrFatal(JsonDecoder::decode(TestData::example(statusesFile),
            [](const JsonValueReader& top) { return top.toList(&StatusCheck::fromJson); }));
    QList<CheckRun> runs;
    if (!checkRunsFile.isEmpty())
        runs = TestData::decodedOrFatal(
            JsonDecoder::decode(TestData::example(checkRunsFile), &CheckRunsResponse::fromJson))
                   .checkRuns;
    QCOMPARE(StatusRules::ciStatus(statuses, runs), ci);
}

QTEST_GUILESS_MAIN(TestStatusRules)
#include "tst_statusrules.moc"

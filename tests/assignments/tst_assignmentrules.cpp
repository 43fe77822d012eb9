#include "TestData.h"
#include "assignments/AssignmentRules.h"

#include <QTest>

using namespace Qt::StringLiterals;

using TestData::ids;

namespace {

IssuePtr makeIssue(qint64 id, const QString& updatedAt = u"2026-12-01T10:00:00Z"_s)
{
    return std::make_shared<Issue>(id, u"Item "_s + QString::number(id),
        u"https://github.com/octocat/Hello-World/issues/"_s + QString::number(id), u"open"_s, updatedAt);
}

} // namespace

class TestAssignmentRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mergeKeepsTheListedRecordAndOneRecordPerId();
    void tableRowsHonourStarsArchiveAndUpdateOrder();
    void apiURL_data();
    void apiURL();
    void issueURL_data();
    void issueURL();
    void repositoryName_data();
    void repositoryName();
};

void TestAssignmentRules::mergeKeepsTheListedRecordAndOneRecordPerId()
{
    const IssuePtr listed = makeIssue(1);
    const IssuePtr listedAgain = makeIssue(1);
    const IssuePtr fetchedCopy = makeIssue(1, u"2026-12-05T10:00:00Z"_s);
    const IssuePtr fetchedNew = makeIssue(2);
    const IssuePtr fetchedTwice = makeIssue(2, u"2026-12-04T10:00:00Z"_s);

    const AssignmentRules::Merge merge
        = AssignmentRules::merge({listed, listedAgain}, {fetchedCopy, fetchedNew, fetchedTwice});
    QCOMPARE(ids(merge.merged), (QList<qint64> {1, 2}));
    QCOMPARE(merge.merged.at(0), listed);
    QCOMPARE(merge.merged.at(1), fetchedNew);
    QCOMPARE(merge.newIds, QSet<qint64> {2});

    QVERIFY(AssignmentRules::merge({listed}, {}).newIds.isEmpty());
}

void TestAssignmentRules::tableRowsHonourStarsArchiveAndUpdateOrder()
{
    const IssuePtr older = makeIssue(1, u"2026-11-01T10:00:00Z"_s);
    const IssuePtr newer = makeIssue(2, u"2026-12-01T10:00:00Z"_s);
    const IssuePtr tiedFirst = makeIssue(3, u"2026-11-15T10:00:00Z"_s);
    const IssuePtr tiedSecond = makeIssue(4, u"2026-11-15T10:00:00Z"_s);
    const QList<IssuePtr> issues {older, tiedFirst, newer, tiedSecond};

    QCOMPARE(ids(AssignmentRules::filteredIssues(issues, {}, {}, false)), (QList<qint64> {2, 3, 4, 1}));
    // Stars and archive entries match by id, not by record.
    QCOMPARE(ids(AssignmentRules::filteredIssues(issues, {}, {makeIssue(3)}, false)), (QList<qint64> {2, 4, 1}));
    QCOMPARE(ids(AssignmentRules::filteredIssues(issues, {makeIssue(1), makeIssue(3)}, {makeIssue(3)}, true)),
        QList<qint64> {1});
    QVERIFY(AssignmentRules::filteredIssues(issues, {}, {}, true).isEmpty());
}

void TestAssignmentRules::apiURL_data()
{
    QTest::addColumn<QString>("apiBase");
    QTest::addColumn<QString>("webBase");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected"); // empty: no API URL

    const QString api = u"https://api.github.com"_s;
    const QString web = u"https://github.com"_s;
    QTest::newRow("issue") << api << web << u"https://github.com/octocat/Hello-World/issues/1347"_s
                           << u"https://api.github.com/repos/octocat/Hello-World/issues/1347"_s;
    QTest::newRow("pull request") << api << web << u"https://github.com/octocat/Hello-World/pull/7"_s
                                  << u"https://api.github.com/repos/octocat/Hello-World/pulls/7"_s;
    QTest::newRow("owner and repository named pull") << api << web << u"https://github.com/pull/pull/pull/3"_s
                                                     << u"https://api.github.com/repos/pull/pull/pulls/3"_s;
    QTest::newRow("repository named like the web host")
        << api << web << u"https://github.com/octocat/github.com/issues/2"_s
        << u"https://api.github.com/repos/octocat/github.com/issues/2"_s;
    QTest::newRow("comment anchor dropped")
        << api << web << u"https://github.com/octocat/Hello-World/issues/1#issuecomment-9"_s
        << u"https://api.github.com/repos/octocat/Hello-World/issues/1"_s;
    QTest::newRow("API address kept") << api << web << u"https://api.github.com/repos/octocat/Hello-World/pulls/7"_s
                                      << u"https://api.github.com/repos/octocat/Hello-World/pulls/7"_s;
    QTest::newRow("API address outside /repos") << api << web << u"https://api.github.com/user"_s << QString();
    QTest::newRow("host that extends the web host")
        << api << web << u"https://github.com.example.org/octocat/Hello-World/issues/1"_s << QString();
    QTest::newRow("web host as user name")
        << api << web << u"https://github.com@example.org/octocat/Hello-World"_s << QString();
    QTest::newRow("other scheme") << api << web << u"http://github.com/octocat/Hello-World/issues/1"_s << QString();
    QTest::newRow("dot segments") << api << web << u"https://github.com/../../user"_s << QString();
    QTest::newRow("not a URL") << api << web << u"not a url"_s << QString();
    QTest::newRow("empty") << api << web << QString() << QString();

    const QString enterpriseApi = u"https://ghe.example.com/api/v3"_s;
    const QString enterpriseWeb = u"https://ghe.example.com"_s;
    QTest::newRow("enterprise pull request")
        << enterpriseApi << enterpriseWeb << u"https://ghe.example.com/team/tool/pull/5"_s
        << u"https://ghe.example.com/api/v3/repos/team/tool/pulls/5"_s;
    QTest::newRow("enterprise API address kept")
        << enterpriseApi << enterpriseWeb << u"https://ghe.example.com/api/v3/repos/team/tool/issues/5"_s
        << u"https://ghe.example.com/api/v3/repos/team/tool/issues/5"_s;

    const QString portApi = u"http://127.0.0.1:8080"_s;
    const QString portWeb = u"http://127.0.0.1:80"_s;
    QTest::newRow("ports: web address") << portApi << portWeb << u"http://127.0.0.1:80/o/r/issues/1"_s
                                        << u"http://127.0.0.1:8080/repos/o/r/issues/1"_s;
    QTest::newRow("ports: API port extends the web port")
        << portApi << portWeb << u"http://127.0.0.1:8080/repos/o/r/issues/1"_s
        << u"http://127.0.0.1:8080/repos/o/r/issues/1"_s;
    QTest::newRow("same base for both: web address")
        << portApi << portApi << u"http://127.0.0.1:8080/o/r/pull/1"_s << u"http://127.0.0.1:8080/repos/o/r/pulls/1"_s;
    QTest::newRow("same base for both: API address")
        << portApi << portApi << u"http://127.0.0.1:8080/repos/o/r/pulls/1"_s
        << u"http://127.0.0.1:8080/repos/o/r/pulls/1"_s;
    QTest::newRow("ports: another port") << portApi << portWeb << u"http://127.0.0.1:9/o/r/issues/1"_s << QString();
}

void TestAssignmentRules::apiURL()
{
    QFETCH(QString, apiBase);
    QFETCH(QString, webBase);
    QFETCH(QString, address);
    QFETCH(QString, expected);
    const std::optional<QUrl> url = AssignmentRules::apiURL(address, GitHubEndpoints(apiBase, webBase));
    QCOMPARE(url ? url->toString() : QString(), expected);
}

void TestAssignmentRules::issueURL_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected"); // empty: no API URL
    QTest::newRow("pull request page") << u"https://github.com/octocat/Hello-World/pull/7"_s
                                       << u"https://api.github.com/repos/octocat/Hello-World/issues/7"_s;
    QTest::newRow("pull request API address") << u"https://api.github.com/repos/octocat/Hello-World/pulls/7"_s
                                              << u"https://api.github.com/repos/octocat/Hello-World/issues/7"_s;
    QTest::newRow("issue page") << u"https://github.com/octocat/Hello-World/issues/1347"_s
                                << u"https://api.github.com/repos/octocat/Hello-World/issues/1347"_s;
    QTest::newRow("foreign host") << u"https://example.org/octocat/Hello-World/pull/7"_s << QString();
}

void TestAssignmentRules::issueURL()
{
    QFETCH(QString, address);
    QFETCH(QString, expected);
    const std::optional<QUrl> url
        = AssignmentRules::issueURL(address, GitHubEndpoints(u"https://api.github.com"_s, u"https://github.com"_s));
    QCOMPARE(url ? url->toString() : QString(), expected);
}

void TestAssignmentRules::repositoryName_data()
{
    QTest::addColumn<QString>("repositoryUrl");
    QTest::addColumn<QString>("expected");
    QTest::newRow("API URL") << u"https://api.github.com/repos/octocat/Hello-World"_s << u"octocat/Hello-World"_s;
    QTest::newRow("trailing and doubled slashes") << u"https://ghe.example.com//repos/team//tool/"_s << u"team/tool"_s;
    QTest::newRow("one segment") << u"Hello-World"_s << u"Unknown Repository"_s;
    QTest::newRow("only slashes") << u"///"_s << u"Unknown Repository"_s;
    QTest::newRow("empty") << QString() << u"Unknown Repository"_s;
}

void TestAssignmentRules::repositoryName()
{
    QFETCH(QString, repositoryUrl);
    QFETCH(QString, expected);
    QCOMPARE(AssignmentRules::repositoryName(repositoryUrl), expected);
}

QTEST_GUILESS_MAIN(TestAssignmentRules)
#include "tst_assignmentrules.moc"

#include "assignments/AssignmentRules.h"

#include <QTest>

namespace {

IssuePtr makeIssue(qint64 id, const QString& updatedAt = QStringLiteral("2026-12-01T10:00:00Z"))
{
    return std::make_shared<Issue>(id, QStringLiteral("Item ") + QString::number(id),
        QStringLiteral("https://github.com/octocat/Hello-World/issues/") + QString::number(id), QStringLiteral("open"),
        updatedAt);
}

QList<qint64> ids(const QList<IssuePtr>& issues)
{
    QList<qint64> result;
    for (const IssuePtr& issue : issues)
        result << issue->id();
    return result;
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
    const IssuePtr fetchedCopy = makeIssue(1, QStringLiteral("2026-12-05T10:00:00Z"));
    const IssuePtr fetchedNew = makeIssue(2);
    const IssuePtr fetchedTwice = makeIssue(2, QStringLiteral("2026-12-04T10:00:00Z"));

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
    const IssuePtr older = makeIssue(1, QStringLiteral("2026-11-01T10:00:00Z"));
    const IssuePtr newer = makeIssue(2, QStringLiteral("2026-12-01T10:00:00Z"));
    const IssuePtr tiedFirst = makeIssue(3, QStringLiteral("2026-11-15T10:00:00Z"));
    const IssuePtr tiedSecond = makeIssue(4, QStringLiteral("2026-11-15T10:00:00Z"));
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

    const QString api = QStringLiteral("https://api.github.com");
    const QString web = QStringLiteral("https://github.com");
    QTest::newRow("issue") << api << web << QStringLiteral("https://github.com/octocat/Hello-World/issues/1347")
                           << QStringLiteral("https://api.github.com/repos/octocat/Hello-World/issues/1347");
    QTest::newRow("pull request") << api << web << QStringLiteral("https://github.com/octocat/Hello-World/pull/7")
                                  << QStringLiteral("https://api.github.com/repos/octocat/Hello-World/pulls/7");
    QTest::newRow("owner and repository named pull")
        << api << web << QStringLiteral("https://github.com/pull/pull/pull/3")
        << QStringLiteral("https://api.github.com/repos/pull/pull/pulls/3");
    QTest::newRow("repository named like the web host")
        << api << web << QStringLiteral("https://github.com/octocat/github.com/issues/2")
        << QStringLiteral("https://api.github.com/repos/octocat/github.com/issues/2");
    QTest::newRow("comment anchor dropped")
        << api << web << QStringLiteral("https://github.com/octocat/Hello-World/issues/1#issuecomment-9")
        << QStringLiteral("https://api.github.com/repos/octocat/Hello-World/issues/1");
    QTest::newRow("API address kept") << api << web
                                      << QStringLiteral("https://api.github.com/repos/octocat/Hello-World/pulls/7")
                                      << QStringLiteral("https://api.github.com/repos/octocat/Hello-World/pulls/7");
    QTest::newRow("API address outside /repos")
        << api << web << QStringLiteral("https://api.github.com/user") << QString();
    QTest::newRow("host that extends the web host")
        << api << web << QStringLiteral("https://github.com.example.org/octocat/Hello-World/issues/1") << QString();
    QTest::newRow("web host as user name")
        << api << web << QStringLiteral("https://github.com@example.org/octocat/Hello-World") << QString();
    QTest::newRow("other scheme") << api << web << QStringLiteral("http://github.com/octocat/Hello-World/issues/1")
                                  << QString();
    QTest::newRow("dot segments") << api << web << QStringLiteral("https://github.com/../../user") << QString();
    QTest::newRow("not a URL") << api << web << QStringLiteral("not a url") << QString();
    QTest::newRow("empty") << api << web << QString() << QString();

    const QString enterpriseApi = QStringLiteral("https://ghe.example.com/api/v3");
    const QString enterpriseWeb = QStringLiteral("https://ghe.example.com");
    QTest::newRow("enterprise pull request")
        << enterpriseApi << enterpriseWeb << QStringLiteral("https://ghe.example.com/team/tool/pull/5")
        << QStringLiteral("https://ghe.example.com/api/v3/repos/team/tool/pulls/5");
    QTest::newRow("enterprise API address kept")
        << enterpriseApi << enterpriseWeb << QStringLiteral("https://ghe.example.com/api/v3/repos/team/tool/issues/5")
        << QStringLiteral("https://ghe.example.com/api/v3/repos/team/tool/issues/5");

    const QString portApi = QStringLiteral("http://127.0.0.1:8080");
    const QString portWeb = QStringLiteral("http://127.0.0.1:80");
    QTest::newRow("ports: web address") << portApi << portWeb << QStringLiteral("http://127.0.0.1:80/o/r/issues/1")
                                        << QStringLiteral("http://127.0.0.1:8080/repos/o/r/issues/1");
    QTest::newRow("ports: API port extends the web port")
        << portApi << portWeb << QStringLiteral("http://127.0.0.1:8080/repos/o/r/issues/1")
        << QStringLiteral("http://127.0.0.1:8080/repos/o/r/issues/1");
    QTest::newRow("same base for both: web address")
        << portApi << portApi << QStringLiteral("http://127.0.0.1:8080/o/r/pull/1")
        << QStringLiteral("http://127.0.0.1:8080/repos/o/r/pulls/1");
    QTest::newRow("same base for both: API address")
        << portApi << portApi << QStringLiteral("http://127.0.0.1:8080/repos/o/r/pulls/1")
        << QStringLiteral("http://127.0.0.1:8080/repos/o/r/pulls/1");
    QTest::newRow("ports: another port") << portApi << portWeb << QStringLiteral("http://127.0.0.1:9/o/r/issues/1")
                                         << QString();
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
    QTest::newRow("pull request page") << QStringLiteral("https://github.com/octocat/Hello-World/pull/7")
                                       << QStringLiteral("https://api.github.com/repos/octocat/Hello-World/issues/7");
    QTest::newRow("pull request API address")
        << QStringLiteral("https://api.github.com/repos/octocat/Hello-World/pulls/7")
        << QStringLiteral("https://api.github.com/repos/octocat/Hello-World/issues/7");
    QTest::newRow("issue page") << QStringLiteral("https://github.com/octocat/Hello-World/issues/1347")
                                << QStringLiteral("https://api.github.com/repos/octocat/Hello-World/issues/1347");
    QTest::newRow("foreign host") << QStringLiteral("https://example.org/octocat/Hello-World/pull/7") << QString();
}

void TestAssignmentRules::issueURL()
{
    QFETCH(QString, address);
    QFETCH(QString, expected);
    const std::optional<QUrl> url = AssignmentRules::issueURL(
        address, GitHubEndpoints(QStringLiteral("https://api.github.com"), QStringLiteral("https://github.com")));
    QCOMPARE(url ? url->toString() : QString(), expected);
}

void TestAssignmentRules::repositoryName_data()
{
    QTest::addColumn<QString>("repositoryUrl");
    QTest::addColumn<QString>("expected");
    QTest::newRow("API URL") << QStringLiteral("https://api.github.com/repos/octocat/Hello-World")
                             << QStringLiteral("octocat/Hello-World");
    QTest::newRow("trailing and doubled slashes")
        << QStringLiteral("https://ghe.example.com//repos/team//tool/") << QStringLiteral("team/tool");
    QTest::newRow("one segment") << QStringLiteral("Hello-World") << QStringLiteral("Unknown Repository");
    QTest::newRow("only slashes") << QStringLiteral("///") << QStringLiteral("Unknown Repository");
    QTest::newRow("empty") << QString() << QStringLiteral("Unknown Repository");
}

void TestAssignmentRules::repositoryName()
{
    QFETCH(QString, repositoryUrl);
    QFETCH(QString, expected);
    QCOMPARE(AssignmentRules::repositoryName(repositoryUrl), expected);
}

QTEST_GUILESS_MAIN(TestAssignmentRules)
#include "tst_assignmentrules.moc"

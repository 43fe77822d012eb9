#include "TestData.h"
#include "github/Issue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray arrayOf(const QByteArray& object)
{
    return '[' + object + ']';
}

QList<IssuePtr> decoded(const QByteArray& json)
{
    return TestData::decodedOrFatal(Issue::decodeList(json));
}

IssuePtr decodedOne(const QByteArray& json)
{
    return decoded(arrayOf(json)).first();
}

// Written to the cache form and read back.
IssuePtr roundTrip(const IssuePtr& issue)
{
    return decoded(Issue::encodeList({issue})).first();
}

// Every key of the cache form, with a value each; "id" beyond 32 bits.
const QByteArray fullIssue = R"({"id": 1308969059, "title": "Found a bug", )"
                             "\"html_url\": \"https://github.com/o/r/pull/3\", "
                             "\"repository_url\": \"https://api.github.com/repos/o/r\", "
                             "\"labels_url\": \"https://api.github.com/repos/o/r/issues/3/labels{/name}\", "
                             "\"comments_url\": \"https://api.github.com/repos/o/r/issues/3/comments\", "
                             "\"events_url\": \"https://api.github.com/repos/o/r/issues/3/events\", "
                             R"("state": "merged", "created_at": "2022-07-19T04:37:09Z", )"
                             R"("updated_at": "2022-07-20T04:37:09Z", "closed_at": "2022-07-20T04:37:09Z", )"
                             R"("body": "Caf\u00e9 \ud83d\udc1a", "repository": {"full_name": "o/r"}, )"
                             "\"pull_request\": {\"url\": \"https://api.github.com/repos/o/r/pulls/3\", "
                             "\"html_url\": \"https://github.com/o/r/pull/3\", "
                             "\"diff_url\": \"https://github.com/o/r/pull/3.diff\", "
                             "\"patch_url\": \"https://github.com/o/r/pull/3.patch\", "
                             R"("merged_at": "2022-07-20T04:37:09Z"}})";

const QByteArray bareIssue
    = R"({"id": 7, "title": "t", "html_url": "h", "state": "open", "updated_at": "2022-07-19T04:37:09Z"})";

} // namespace

class TestIssue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesGitHubsExamples_data();
    void decodesGitHubsExamples();
    void writtenAndReadBackIsUnchanged_data();
    void writtenAndReadBackIsUnchanged();
    void absentOptionalsStayAbsent();
    void displayState_data();
    void displayState();
    void badItemFailsTheWholeList_data();
    void badItemFailsTheWholeList();
};

void TestIssue::decodesGitHubsExamples_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("firstId");
    QTest::addColumn<std::optional<QString>>("repository");
    QTest::addColumn<bool>("pullRequest");
    QTest::addColumn<std::optional<QString>>("body");

    QTest::newRow("GET /issues item that is a pull request")
        << TestData::example(u"openapi/GET-issues.200.issue-with-repo-items.json"_s) << 1 << qint64(1)
        << std::optional(u"octocat/Hello-World"_s) << true << std::optional(u"I'm having a problem with this."_s);
    QTest::newRow("single issue, repository null")
        << arrayOf(TestData::example(u"openapi/GET-repos-issues-number.200.issue.json"_s)) << 1 << qint64(1)
        << std::optional<QString>() << true << std::optional(u"I'm having a problem with this."_s);
    QTest::newRow("recorded issue, body null")
        << arrayOf(TestData::example(u"octokit-fixtures/POST-repos-issues.201.issue.body.json"_s)) << 1
        << qint64(1308967529) << std::optional<QString>() << false << std::optional<QString>();
    QTest::newRow("recorded page of issues")
        << TestData::example(u"octokit-fixtures/GET-repos-issues.page1-of-5.200.body.json"_s) << 3 << qint64(1308969059)
        << std::optional<QString>() << false << std::optional<QString>();
}

void TestIssue::decodesGitHubsExamples()
{
    QFETCH(QByteArray, list);
    QFETCH(int, count);
    QFETCH(qint64, firstId);
    QFETCH(std::optional<QString>, repository);
    QFETCH(bool, pullRequest);
    QFETCH(std::optional<QString>, body);

    const QList<IssuePtr> issues = decoded(list);
    QCOMPARE(issues.size(), count);
    const Issue& issue = *issues.first();
    QCOMPARE(issue.id(), firstId);
    QCOMPARE(issue.state(), u"open"_s);
    QCOMPARE(issue.repository() ? std::optional(issue.repository()->fullName()) : std::nullopt, repository);
    QCOMPARE(issue.pullRequest().has_value(), pullRequest);
    QCOMPARE(issue.body(), body);
    QCOMPARE(issue.closedAt(), std::nullopt);
    QVERIFY(issue.repositoryUrl()->startsWith(u"https://api.github.com/repos/"_s));
    for (const IssuePtr& each : issues)
        QVERIFY(*roundTrip(each) == *each);
}

void TestIssue::writtenAndReadBackIsUnchanged_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("every field, state merged") << fullIssue;
    QTest::newRow("required fields only") << bareIssue;
    QTest::newRow("pull request without merge time")
        << QByteArray(bareIssue).replace("}", R"(, "pull_request": {"url": "u", "merged_at": null}})");
}

void TestIssue::writtenAndReadBackIsUnchanged()
{
    QFETCH(QByteArray, json);
    const IssuePtr original = decodedOne(json);
    const QByteArray written = Issue::encodeList({original});
    QVERIFY2(!written.contains('\n') && !written.contains(": "), written.constData());

    const IssuePtr again = roundTrip(original);
    QVERIFY2(*again == *original, Issue::encodeList({again}).constData());
    QCOMPARE(Issue::encodeList({again}), written);
}

void TestIssue::absentOptionalsStayAbsent()
{
    const IssuePtr fromNulls = decodedOne(R"({"id": 7, "title": "t", "html_url": "h", "state": "open",
        "updated_at": "2022-07-19T04:37:09Z", "repository_url": null, "labels_url": null, "comments_url": null, "events_url": null,
        "created_at": null, "closed_at": null, "body": null, "repository": null, "pull_request": null})");
    QCOMPARE(
        fromNulls->toJson().keys(), (QStringList {u"html_url"_s, u"id"_s, u"state"_s, u"title"_s, u"updated_at"_s}));
    QVERIFY(*fromNulls == *decodedOne(bareIssue));

    const IssuePtr pullRequest = decodedOne(
        QByteArray(bareIssue).replace("}", R"(, "pull_request": {"url": "u", "html_url": null, "merged_at": null}})"));
    QCOMPARE(pullRequest->toJson().value(u"pull_request").toObject().keys(), QStringList {u"url"_s});
}

void TestIssue::displayState_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<std::optional<QString>>("mergedAtWritten");
    QTest::addColumn<QString>("displayed");

    const QByteArray closed = QByteArray(bareIssue).replace("\"open\"", "\"closed\"");
    QTest::newRow("pull request, merged_at null")
        << QByteArray(closed).replace("}", R"(, "pull_request": {"merged_at": null}})") << std::optional<QString>()
        << u"closed"_s;
    QTest::newRow("pull request with merged_at")
        << QByteArray(bareIssue).replace("}", R"(, "pull_request": {"merged_at": "2022-07-20T04:37:09Z"}})")
        << std::optional<QString>() << u"merged"_s;
    QTest::newRow("merged_at written by the controller")
        << QByteArray(bareIssue).replace("}", R"(, "pull_request": {"url": "u", "merged_at": null}})")
        << std::optional(u"2022-07-20T04:37:09Z"_s) << u"merged"_s;
}

void TestIssue::displayState()
{
    QFETCH(QByteArray, json);
    QFETCH(std::optional<QString>, mergedAtWritten);
    QFETCH(QString, displayed);

    const IssuePtr issue = decodedOne(json);
    if (mergedAtWritten) {
        PullRequestInfo info = *issue->pullRequest();
        info.setMergedAt(mergedAtWritten);
        issue->setPullRequest(info);
    }
    QCOMPARE(issue->displayState(), displayed);
    QCOMPARE(roundTrip(issue)->displayState(), displayed);
}

void TestIssue::badItemFailsTheWholeList_data()
{
    QTest::addColumn<QByteArray>("bad");
    QTest::addColumn<QString>("error");

    for (const char* key : {"title", "html_url", "state", "updated_at"}) {
        QJsonObject object = QJsonDocument::fromJson(bareIssue).object();
        object.remove(QLatin1String(key));
        QTest::addRow("without %s", key) << QJsonDocument(object).toJson(QJsonDocument::Compact)
                                         << u"keyNotFound(key: \"%1\", codingPath: [1], "_s.arg(QLatin1String(key));
    }
    QTest::newRow("id as a string") << QByteArray(bareIssue).replace("\"id\": 7", "\"id\": \"7\"")
                                    << u"typeMismatch(type: Int64, codingPath: [1, \"id\"], "_s;
}

void TestIssue::badItemFailsTheWholeList()
{
    QFETCH(QByteArray, bad);
    QFETCH(QString, error);

    const Decoded<QList<IssuePtr>> result = Issue::decodeList('[' + bareIssue + ',' + bad + ',' + bareIssue + ']');
    QVERIFY(std::holds_alternative<DecodingError>(result));
    const QString description = std::get<DecodingError>(result).description();
    QVERIFY2(description.startsWith(error), qPrintable(description));
}

QTEST_GUILESS_MAIN(TestIssue)
#include "tst_issue.moc"

#include "TestData.h"
#include "assignments/AssignmentRules.h"

#include <QTest>

using namespace Qt::StringLiterals;

using TestData::ids;

namespace {

IssuePtr makeIssue(qint64 id, const QString& title, const QString& repository, bool pullRequest, const QString& state,
    const std::optional<QString>& mergedAt = {})
{
    const QString kind = pullRequest ? u"/pull/"_s : u"/issues/"_s;
    auto issue = std::make_shared<Issue>(id, title, u"https://github.com/"_s + repository + kind + QString::number(id),
        state, u"2026-11-%1T09:00:00Z"_s.arg(28 - id));
    if (!repository.isEmpty())
        issue->setRepository(Repository(repository));
    if (pullRequest)
        issue->setPullRequest(PullRequestInfo(std::nullopt, std::nullopt, std::nullopt, std::nullopt, mergedAt));
    return issue;
}

} // namespace

// The filter field's qualifiers over assigned items: the ones that apply, the ones that
// do not, and the favourites and archive alongside.
class TestAssignmentQuery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsKept_data();
    void rowsKept();
    void qualifiersTheListLacksAreIgnoredWithAHint();
};

void TestAssignmentQuery::rowsKept_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("onlyFavorites");
    QTest::addColumn<QList<qint64>>("kept");

    QTest::newRow("plain text") << u"crash"_s << false << QList<qint64> {1, 3};
    QTest::newRow("pull requests") << u"is:pr"_s << false << QList<qint64> {1, 2};
    QTest::newRow("issues") << u"is:issue"_s << false << QList<qint64> {3, 4};
    QTest::newRow("no releases here") << u"is:release"_s << false << QList<qint64> {};
    QTest::newRow("open") << u"is:open"_s << false << QList<qint64> {1, 4};
    QTest::newRow("merged by its merge time") << u"is:merged"_s << false << QList<qint64> {2};
    QTest::newRow("closed takes merged in") << u"is:closed"_s << false << QList<qint64> {2, 3};
    QTest::newRow("starred") << u"is:starred"_s << false << QList<qint64> {2, 3};
    QTest::newRow("not starred, with the favourites filter") << u"-is:starred"_s << true << QList<qint64> {};
    QTest::newRow("repository ignores case") << u"repo:Octocat/Hello-World"_s << false << QList<qint64> {1, 2};
    QTest::newRow("an item without a repository") << u"repo:a/b -org:octocat"_s << false << QList<qint64> {};
    QTest::newRow("organisation") << u"-org:octocat"_s << false << QList<qint64> {3, 4};
    QTest::newRow("qualifiers and words") << u"is:pr -is:merged \"crash at\""_s << false << QList<qint64> {1};
    QTest::newRow("CI is ignored here") << u"ci:failed is:issue"_s << false << QList<qint64> {3, 4};
}

void TestAssignmentQuery::rowsKept()
{
    QFETCH(QString, text);
    QFETCH(bool, onlyFavorites);
    QFETCH(QList<qint64>, kept);
    const QList<IssuePtr> issues {
        makeIssue(1, u"Fix crash at start"_s, u"octocat/Hello-World"_s, true, u"open"_s),
        makeIssue(2, u"Speed up sync"_s, u"octocat/Hello-World"_s, true, u"closed"_s, u"2026-11-20T09:00:00Z"_s),
        makeIssue(3, u"Crash when offline"_s, u"marrowfen/shellfish"_s, false, u"closed"_s),
        makeIssue(4, u"Docs"_s, QString(), false, u"open"_s),
        makeIssue(5, u"Archived crash"_s, u"octocat/Hello-World"_s, true, u"open"_s),
    };
    const FeedQuery query = FeedQuery::parse(text, AssignmentRules::queryFields);
    QCOMPARE(
        ids(AssignmentRules::filteredIssues(issues, {issues[1], issues[2]}, {issues[4]}, onlyFavorites, query)), kept);
}

void TestAssignmentQuery::qualifiersTheListLacksAreIgnoredWithAHint()
{
    const FeedQuery query = FeedQuery::parse(
        u"reason:mention ci:failed review:approved is:draft -reason:author is:open"_s, AssignmentRules::queryFields);
    QCOMPARE(query.hints(),
        (QStringList {u"not available here: reason:"_s, u"not available here: ci:"_s, u"not available here: review:"_s,
            u"not available here: is:draft"_s}));
    QCOMPARE(query.clauses(), (QList<QueryClause> {{QueryField::State, u"open"_s, false}}));
}

QTEST_GUILESS_MAIN(TestAssignmentQuery)
#include "tst_assignmentquery.moc"

#include "TestData.h"
#include "notifications/NotificationRules.h"

#include <QTest>

using namespace Qt::StringLiterals;

using TestData::ids;

namespace {

NotificationPtr makeThread(const QString& id, const QString& updatedAt, const QString& title = u"Title"_s,
    const QString& repository = u"octocat/Hello-World"_s)
{
    return std::make_shared<Notification>(
        id, Subject(title, u"Issue"_s, std::nullopt), Repository(repository), std::nullopt, updatedAt);
}

} // namespace

class TestNotificationRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mergeKeepsTheNewestRecordPerId();
    void textFilter_data();
    void textFilter();
    void repositoryFilterIsExactAndRowsAreNewestFirst();
    void repositoryChoicesAreDistinctInCodePointOrder();
    void webURL_data();
    void webURL();
};

void TestNotificationRules::mergeKeepsTheNewestRecordPerId()
{
    const NotificationPtr listedSame = makeThread(u"a"_s, u"2026-12-01T10:00:00Z"_s);
    const NotificationPtr listedOld = makeThread(u"b"_s, u"2026-12-01T09:00:00Z"_s);
    const NotificationPtr listedNewer = makeThread(u"c"_s, u"2026-12-03T09:00:00Z"_s);
    const NotificationPtr fetchedSame = makeThread(u"a"_s, u"2026-12-01T10:00:00Z"_s);
    const NotificationPtr fetchedNewer = makeThread(u"b"_s, u"2026-12-02T09:00:00Z"_s);
    const NotificationPtr fetchedOlder = makeThread(u"c"_s, u"2026-12-02T09:00:00Z"_s);
    const NotificationPtr fetchedNew = makeThread(u"d"_s, u"2026-11-30T09:00:00Z"_s);
    const NotificationPtr fetchedTwice = makeThread(u"d"_s, u"2026-11-29T09:00:00Z"_s);

    const NotificationRules::Merge merge = NotificationRules::merge(
        {listedSame, listedOld, listedNewer}, {fetchedSame, fetchedNewer, fetchedOlder, fetchedNew, fetchedTwice});

    QCOMPARE(ids(merge.merged), (QStringList {u"c"_s, u"b"_s, u"a"_s, u"d"_s}));
    QCOMPARE(merge.merged.at(0), listedNewer);
    QCOMPARE(merge.merged.at(1), fetchedNewer);
    QCOMPARE(merge.merged.at(2), listedSame);
    QCOMPARE(merge.merged.at(3), fetchedNew);
    QCOMPARE(merge.newIds, QSet<QString> {u"d"_s});
}

void TestNotificationRules::textFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("matches");
    QTest::newRow("case-insensitive containment") << u"fix"_s << QStringList {u"Fix login"_s, u"PREFIX"_s};
    QTest::newRow("one space counts") << u" "_s << QStringList {u"Fix login"_s};
    QTest::newRow("empty shows all") << QString() << QStringList {u"Fix login"_s, u"PREFIX"_s, u"Docs"_s};
    QTest::newRow("only the title is searched") << u"octocat"_s << QStringList {};
}

void TestNotificationRules::textFilter()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, matches);
    const QList<NotificationPtr> list {makeThread(u"1"_s, u"2026-12-03T00:00:00Z"_s, u"Fix login"_s),
        makeThread(u"2"_s, u"2026-12-02T00:00:00Z"_s, u"PREFIX"_s),
        makeThread(u"3"_s, u"2026-12-01T00:00:00Z"_s, u"Docs"_s)};
    QStringList titles;
    for (const NotificationPtr& row : NotificationRules::filtered(list, NotificationRules::allRepositories, filter))
        titles << row->subject().title();
    QCOMPARE(titles, matches);
}

void TestNotificationRules::repositoryFilterIsExactAndRowsAreNewestFirst()
{
    const QList<NotificationPtr> list {makeThread(u"1"_s, u"2026-12-01T00:00:00Z"_s, {}, u"a/b"_s),
        makeThread(u"2"_s, u"2026-12-03T00:00:00Z"_s, {}, u"a/b"_s),
        makeThread(u"3"_s, u"2026-12-02T00:00:00Z"_s, {}, u"A/B"_s)};
    QCOMPARE(ids(NotificationRules::filtered(list, u"a/b"_s, {})), (QStringList {u"2"_s, u"1"_s}));
    QCOMPARE(ids(NotificationRules::filtered(list, NotificationRules::allRepositories, {})),
        (QStringList {u"2"_s, u"3"_s, u"1"_s}));
    QVERIFY(NotificationRules::filtered(list, u"gone/away"_s, {}).isEmpty());
}

void TestNotificationRules::repositoryChoicesAreDistinctInCodePointOrder()
{
    const QList<NotificationPtr> list {
        makeThread(u"1"_s, {}, {}, u"zeta/x"_s),
        makeThread(u"2"_s, {}, {}, u"Zeta/x"_s),
        makeThread(u"3"_s, {}, {}, u"alpha/y"_s),
        makeThread(u"4"_s, {}, {}, u"zeta/x"_s),
    };
    QCOMPARE(NotificationRules::repositoryChoices(list),
        (QStringList {u"All Repositories"_s, u"Zeta/x"_s, u"alpha/y"_s, u"zeta/x"_s}));
}

void TestNotificationRules::webURL_data()
{
    QTest::addColumn<QString>("apiBase");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("subjectUrl"); // empty: none
    QTest::addColumn<QString>("page"); // empty: plain text

    const QString api = u"https://api.github.com"_s;
    const QString ghe = u"https://ghe.example.com/api/v3"_s;
    QTest::newRow("pull request") << api << u"mention"_s << u"Fix"_s << u"https://api.github.com/repos/o/r/pulls/7"_s
                                  << u"https://github.com/o/r/pull/7"_s;
    QTest::newRow("issue") << api << u"assign"_s << u"Bug"_s << u"https://api.github.com/repos/o/r/issues/3"_s
                           << u"https://github.com/o/r/issues/3"_s;
    QTest::newRow("discussion") << api << u"comment"_s << u"Q"_s << u"https://api.github.com/repos/o/r/discussions/5"_s
                                << u"https://github.com/o/r/discussions/5"_s;
    QTest::newRow("GitHub Enterprise") << ghe << u"mention"_s << u"Fix"_s
                                       << u"https://ghe.example.com/api/v3/repos/o/r/pulls/7"_s
                                       << u"https://ghe.example.com/o/r/pull/7"_s;
    QTest::newRow("repository named pulls")
        << api << u"mention"_s << u"Fix"_s << u"https://api.github.com/repos/o/pulls/issues/4"_s
        << u"https://github.com/o/pulls/issues/4"_s;
    QTest::newRow("branch with /pulls/ in its name")
        << api << u"subscribed"_s << u"Build"_s << u"https://api.github.com/repos/o/r/commits/feature/pulls/x"_s
        << u"https://github.com/o/r/commits/feature/pulls/x"_s;
    QTest::newRow("invitation") << api << u"invitation"_s << u"Invitation to join o/r from someone"_s << QString()
                                << u"https://github.com/octocat/Hello-World/invitations"_s;
    QTest::newRow("invitation, subscribed") << api << u"subscribed"_s << u"Invitation to join o/r"_s << QString()
                                            << u"https://github.com/octocat/Hello-World/invitations"_s;
    QTest::newRow("invitation words, other reason")
        << api << u"mention"_s << u"Invitation to join o/r"_s << QString() << QString();
    QTest::newRow("check suite without URL") << api << u"ci_activity"_s << u"CI"_s << QString() << QString();
    QTest::newRow("URL on another host") << api << u"mention"_s << u"Fix"_s
                                         << u"https://evil.example/repos/o/r/pulls/7"_s << QString();
    QTest::newRow("URL outside /repos") << api << u"mention"_s << u"Fix"_s << u"https://api.github.com/gists/1"_s
                                        << QString();
    QTest::newRow("climbing out of the web base")
        << ghe << u"mention"_s << u"Fix"_s << u"https://ghe.example.com/api/v3/repos/../../admin"_s << QString();
}

void TestNotificationRules::webURL()
{
    QFETCH(QString, apiBase);
    QFETCH(QString, reason);
    QFETCH(QString, title);
    QFETCH(QString, subjectUrl);
    QFETCH(QString, page);
    const QString webBase = apiBase.endsWith(u"/api/v3"_s) ? apiBase.chopped(7) : u"https://github.com"_s;
    const Notification thread(u"1"_s,
        Subject(title, u"PullRequest"_s, subjectUrl.isEmpty() ? std::nullopt : std::optional(subjectUrl)),
        Repository(u"octocat/Hello-World"_s), reason, u"2026-12-05T22:20:36Z"_s);
    const std::optional<QUrl> url = NotificationRules::webURL(thread, GitHubEndpoints(apiBase, webBase));
    QCOMPARE(url ? url->toString() : QString(), page);
}

QTEST_GUILESS_MAIN(TestNotificationRules)
#include "tst_notificationrules.moc"

#include "TestData.h"
#include "notifications/NotificationRules.h"

#include <QTest>

using namespace Qt::StringLiterals;

using TestData::ids;

namespace {

struct Thread
{
    QString id;
    QString type;
    QString repository;
    QString reason;
    QString title;
    std::optional<QString> state;
    std::optional<QString> ci;
    std::optional<QString> review;
};

// Newest first in the order given.
QList<NotificationPtr> threads(const QList<Thread>& wanted)
{
    QList<NotificationPtr> list;
    int day = 28;
    for (const Thread& thread : wanted) {
        Subject subject(thread.title, thread.type, std::nullopt);
        subject.setState(thread.state);
        subject.setCiStatus(thread.ci);
        subject.setReviewStatus(thread.review);
        list << std::make_shared<Notification>(
            thread.id, subject, Repository(thread.repository), thread.reason, u"2026-11-%1T09:00:00Z"_s.arg(day--));
    }
    return list;
}

} // namespace

// The filter field's qualifiers over notification threads: what each one looks at, and
// the repository picker and the stars alongside.
class TestNotificationQuery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsKept_data();
    void rowsKept();
    void completionsOfferTheListsValues();
};

void TestNotificationQuery::rowsKept_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("repository");
    QTest::addColumn<QStringList>("kept");

    const QString all = NotificationRules::allRepositories;
    QTest::newRow("plain text") << u"crash"_s << all << QStringList {u"1"_s, u"3"_s, u"5"_s};
    QTest::newRow("plain text with a space") << u"crash at"_s << all << QStringList {u"1"_s};
    QTest::newRow("kinds") << u"is:pr"_s << all << QStringList {u"1"_s, u"2"_s, u"6"_s};
    QTest::newRow("issue, release or discussion")
        << u"is:issue is:release is:discussion"_s << all << QStringList {u"3"_s, u"4"_s, u"5"_s};
    QTest::newRow("open") << u"is:open"_s << all << QStringList {u"1"_s, u"6"_s};
    QTest::newRow("closed takes merged and resolved in")
        << u"is:closed"_s << all << QStringList {u"2"_s, u"3"_s, u"5"_s};
    QTest::newRow("merged") << u"is:merged"_s << all << QStringList {u"2"_s};
    QTest::newRow("no state is neither open nor closed") << u"-is:open -is:closed"_s << all << QStringList {u"4"_s};
    QTest::newRow("starred means favourite") << u"is:starred"_s << all << QStringList {u"3"_s, u"5"_s};
    QTest::newRow("not starred") << u"-is:starred is:pr"_s << all << QStringList {u"1"_s, u"2"_s, u"6"_s};
    QTest::newRow("reasons any of") << u"reason:mention reason:team_mention"_s << all << QStringList {u"2"_s, u"3"_s};
    QTest::newRow("repository ignores case") << u"repo:OCTOCAT/hello-world"_s << all << QStringList {u"1"_s};
    QTest::newRow("organisation is the owner") << u"org:octocat"_s << all << QStringList {u"1"_s, u"2"_s};
    QTest::newRow("not an organisation") << u"-org:octocat -org:marrowfen"_s << all << QStringList {u"5"_s, u"6"_s};
    QTest::newRow("CI") << u"ci:failed"_s << all << QStringList {u"1"_s};
    QTest::newRow("CI any of") << u"ci:passing ci:pending"_s << all << QStringList {u"2"_s, u"6"_s};
    QTest::newRow("review") << u"review:approved"_s << all << QStringList {u"2"_s};
    QTest::newRow("review not asked for by a thread without one")
        << u"review:not_reviewed"_s << all << QStringList {u"6"_s};
    QTest::newRow("everything at once") << u"is:pr ci:failed repo:octocat/hello-world crash"_s << all
                                        << QStringList {u"1"_s};
    QTest::newRow("words in a query") << u"org:marrowfen CRASH offline"_s << all << QStringList {u"3"_s};
    QTest::newRow("Turkish title") << u"is:open İSTANBUL"_s << all << QStringList {u"6"_s};
    QTest::newRow("German title") << u"is:discussion STRAẞE"_s << all << QStringList {u"5"_s};
    QTest::newRow("drafts are unknown here and ignored") << u"is:draft is:merged"_s << all << QStringList {u"2"_s};
    QTest::newRow("an unknown value is looked for in the title") << u"is:pr ci:green"_s << all << QStringList();
    QTest::newRow("with the repository picker") << u"is:closed"_s << u"marrowfen/shellfish"_s << QStringList {u"3"_s};
}

void TestNotificationQuery::rowsKept()
{
    QFETCH(QString, text);
    QFETCH(QString, repository);
    QFETCH(QStringList, kept);
    const QList<NotificationPtr> list = threads({
        {u"1"_s, u"PullRequest"_s, u"octocat/Hello-World"_s, u"review_requested"_s, u"Fix crash at start"_s, u"open"_s,
            u"failed"_s, u"changes_requested"_s},
        {u"2"_s, u"PullRequest"_s, u"octocat/Spoon-Knife"_s, u"mention"_s, u"Speed up sync"_s, u"merged"_s,
            u"passing"_s, u"approved"_s},
        {u"3"_s, u"Issue"_s, u"marrowfen/shellfish"_s, u"team_mention"_s, u"Crash when offline"_s, u"closed"_s, {}, {}},
        {u"4"_s, u"Release"_s, u"marrowfen/whelk"_s, u"subscribed"_s, u"v2.0"_s, {}, {}, {}},
        {u"5"_s, u"Discussion"_s, u"x/y"_s, u"comment"_s, u"Straße crash"_s, u"resolved"_s, {}, {}},
        {u"6"_s, u"PullRequest"_s, u"x/y"_s, u"author"_s, u"İstanbul mirror"_s, u"open"_s, u"pending"_s,
            u"not_reviewed"_s},
    });
    const FeedQuery query = FeedQuery::parse(text, NotificationRules::queryFields);
    QCOMPARE(ids(NotificationRules::filtered(list, repository, query, {u"3"_s, u"5"_s})), kept);
}

void TestNotificationQuery::completionsOfferTheListsValues()
{
    const QList<NotificationPtr> list = threads({
        {u"1"_s, u"Issue"_s, u"octocat/Hello-World"_s, u"mention"_s, u"A"_s, {}, {}, {}},
        {u"2"_s, u"Issue"_s, u"marrowfen/shellfish"_s, u"author"_s, u"B"_s, {}, {}, {}},
        {u"3"_s, u"Issue"_s, u"octocat/Spoon-Knife"_s, u"mention"_s, u"C"_s, {}, {}, {}},
    });
    QCOMPARE(NotificationRules::queryValues(list, QueryField::Repository),
        (QStringList {u"marrowfen/shellfish"_s, u"octocat/Hello-World"_s, u"octocat/Spoon-Knife"_s}));
    QCOMPARE(
        NotificationRules::queryValues(list, QueryField::Organization), (QStringList {u"marrowfen"_s, u"octocat"_s}));
    QCOMPARE(NotificationRules::queryValues(list, QueryField::Reason), (QStringList {u"author"_s, u"mention"_s}));
    QCOMPARE(NotificationRules::queryValues(list, QueryField::CI), QStringList());
}

QTEST_GUILESS_MAIN(TestNotificationQuery)
#include "tst_notificationquery.moc"

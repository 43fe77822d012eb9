#include "notifications/NotificationRules.h"

#include <QTest>

namespace {

NotificationPtr makeThread(const QString& id, const QString& updatedAt, const QString& title = QStringLiteral("Title"),
    const QString& repository = QStringLiteral("octocat/Hello-World"))
{
    return std::make_shared<Notification>(
        id, Subject(title, QStringLiteral("Issue"), std::nullopt), Repository(repository), std::nullopt, updatedAt);
}

QStringList ids(const QList<NotificationPtr>& notifications)
{
    QStringList result;
    for (const NotificationPtr& notification : notifications)
        result << notification->id();
    return result;
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
    void completedStates_data();
    void completedStates();
};

void TestNotificationRules::mergeKeepsTheNewestRecordPerId()
{
    const NotificationPtr listedSame = makeThread(QStringLiteral("a"), QStringLiteral("2026-12-01T10:00:00Z"));
    const NotificationPtr listedOld = makeThread(QStringLiteral("b"), QStringLiteral("2026-12-01T09:00:00Z"));
    const NotificationPtr listedNewer = makeThread(QStringLiteral("c"), QStringLiteral("2026-12-03T09:00:00Z"));
    const NotificationPtr fetchedSame = makeThread(QStringLiteral("a"), QStringLiteral("2026-12-01T10:00:00Z"));
    const NotificationPtr fetchedNewer = makeThread(QStringLiteral("b"), QStringLiteral("2026-12-02T09:00:00Z"));
    const NotificationPtr fetchedOlder = makeThread(QStringLiteral("c"), QStringLiteral("2026-12-02T09:00:00Z"));
    const NotificationPtr fetchedNew = makeThread(QStringLiteral("d"), QStringLiteral("2026-11-30T09:00:00Z"));
    const NotificationPtr fetchedTwice = makeThread(QStringLiteral("d"), QStringLiteral("2026-11-29T09:00:00Z"));

    const NotificationRules::Merge merge = NotificationRules::merge(
        {listedSame, listedOld, listedNewer}, {fetchedSame, fetchedNewer, fetchedOlder, fetchedNew, fetchedTwice});

    QCOMPARE(ids(merge.merged),
        (QStringList {QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("d")}));
    QCOMPARE(merge.merged.at(0), listedNewer);
    QCOMPARE(merge.merged.at(1), fetchedNewer);
    QCOMPARE(merge.merged.at(2), listedSame);
    QCOMPARE(merge.merged.at(3), fetchedNew);
    QCOMPARE(merge.newIds, QSet<QString> {QStringLiteral("d")});
}

void TestNotificationRules::textFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("matches");
    QTest::newRow("case-insensitive containment")
        << QStringLiteral("fix") << QStringList {QStringLiteral("Fix login"), QStringLiteral("PREFIX")};
    QTest::newRow("one space counts") << QStringLiteral(" ") << QStringList {QStringLiteral("Fix login")};
    QTest::newRow("empty shows all") << QString()
                                     << QStringList {QStringLiteral("Fix login"), QStringLiteral("PREFIX"),
                                            QStringLiteral("Docs")};
    QTest::newRow("only the title is searched") << QStringLiteral("octocat") << QStringList {};
}

void TestNotificationRules::textFilter()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, matches);
    const QList<NotificationPtr> list {
        makeThread(QStringLiteral("1"), QStringLiteral("2026-12-03T00:00:00Z"), QStringLiteral("Fix login")),
        makeThread(QStringLiteral("2"), QStringLiteral("2026-12-02T00:00:00Z"), QStringLiteral("PREFIX")),
        makeThread(QStringLiteral("3"), QStringLiteral("2026-12-01T00:00:00Z"), QStringLiteral("Docs"))};
    QStringList titles;
    for (const NotificationPtr& row : NotificationRules::filtered(list, NotificationRules::allRepositories, filter))
        titles << row->subject().title();
    QCOMPARE(titles, matches);
}

void TestNotificationRules::repositoryFilterIsExactAndRowsAreNewestFirst()
{
    const QList<NotificationPtr> list {
        makeThread(QStringLiteral("1"), QStringLiteral("2026-12-01T00:00:00Z"), {}, QStringLiteral("a/b")),
        makeThread(QStringLiteral("2"), QStringLiteral("2026-12-03T00:00:00Z"), {}, QStringLiteral("a/b")),
        makeThread(QStringLiteral("3"), QStringLiteral("2026-12-02T00:00:00Z"), {}, QStringLiteral("A/B"))};
    QCOMPARE(ids(NotificationRules::filtered(list, QStringLiteral("a/b"), {})),
        (QStringList {QStringLiteral("2"), QStringLiteral("1")}));
    QCOMPARE(ids(NotificationRules::filtered(list, NotificationRules::allRepositories, {})),
        (QStringList {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("1")}));
    QVERIFY(NotificationRules::filtered(list, QStringLiteral("gone/away"), {}).isEmpty());
}

void TestNotificationRules::repositoryChoicesAreDistinctInCodePointOrder()
{
    const QList<NotificationPtr> list {
        makeThread(QStringLiteral("1"), {}, {}, QStringLiteral("zeta/x")),
        makeThread(QStringLiteral("2"), {}, {}, QStringLiteral("Zeta/x")),
        makeThread(QStringLiteral("3"), {}, {}, QStringLiteral("alpha/y")),
        makeThread(QStringLiteral("4"), {}, {}, QStringLiteral("zeta/x")),
    };
    QCOMPARE(NotificationRules::repositoryChoices(list),
        (QStringList {QStringLiteral("All Repositories"), QStringLiteral("Zeta/x"), QStringLiteral("alpha/y"),
            QStringLiteral("zeta/x")}));
}

void TestNotificationRules::completedStates_data()
{
    QTest::addColumn<std::optional<QString>>("state");
    QTest::addColumn<bool>("completed");
    QTest::newRow("closed") << std::optional<QString>(QStringLiteral("closed")) << true;
    QTest::newRow("merged") << std::optional<QString>(QStringLiteral("merged")) << true;
    QTest::newRow("resolved") << std::optional<QString>(QStringLiteral("resolved")) << true;
    QTest::newRow("capital Closed") << std::optional<QString>(QStringLiteral("Closed")) << false;
    QTest::newRow("open") << std::optional<QString>(QStringLiteral("open")) << false;
    QTest::newRow("no state") << std::optional<QString>() << false;
}

void TestNotificationRules::completedStates()
{
    QFETCH(std::optional<QString>, state);
    QFETCH(bool, completed);
    const NotificationPtr notification = makeThread(QStringLiteral("1"), {});
    notification->subject().setState(state);
    QCOMPARE(NotificationRules::isCompleted(*notification), completed);
}

QTEST_GUILESS_MAIN(TestNotificationRules)
#include "tst_notificationrules.moc"

#include "FeedSteps.h"
#include "GitHubTestEnvironment.h"
#include "Widgets.h"
#include "assignments/AssignmentsViewModel.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"
#include "views/AssignmentsTab.h"
#include "views/FilterRow.h"
#include "views/NotificationListModel.h"
#include "views/NotificationsTab.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAccessible>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kToken = u"ghp_queryFilter"_s;

QString minutesAgo(int minutes)
{
    return VirtualScheduler::defaultStart().addSecs(-60 * minutes).toString(Qt::ISODate);
}

QStringList offered(const QCompleter* completer)
{
    QStringList offers;
    for (int row = 0; row < completer->completionCount(); ++row)
        offers << completer->completionModel()->index(row, 0).data().toString();
    return offers;
}

// Chooses `offer` in the open popup as the user does: current row, then Return.
void choose(QCompleter* completer, const QString& offer)
{
    const int row = static_cast<int>(offered(completer).indexOf(offer));
    QVERIFY2(row >= 0, qPrintable(offer));
    completer->popup()->setCurrentIndex(completer->completionModel()->index(row, 0));
    QTest::keyClick(completer->popup(), Qt::Key_Return);
}

} // namespace

// The feed tabs' filter row: the query's hint under the field, and the completion of the
// token being typed with qualifiers and the list's values.
class TestQueryFilter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void hintShowsWhatTheQueryCouldNotUse();
    void completerCompletesTheTokenBeingTyped();
    void aStarTakesARowInAndOutOfAStarredQuery();
    void assignmentsSayWhichQualifiersDoNotApply();

private:
    void startNotifications();

    std::unique_ptr<GitHubTestEnvironment> m_world;
    std::unique_ptr<AccountSessions> m_sessions;
    NotificationsViewModel* m_notifications = nullptr;
    std::unique_ptr<NotificationsTab> m_notificationsTab;
};

void TestQueryFilter::init()
{
    m_world = std::make_unique<GitHubTestEnvironment>();
    m_world->signIn(kToken);
}

void TestQueryFilter::cleanup()
{
    m_notificationsTab.reset();
    m_sessions.reset();
    m_notifications = nullptr;
    m_world.reset();
}

void TestQueryFilter::startNotifications()
{
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    const QList<std::pair<QString, QString>> threads {
        {u"octocat/Hello-World"_s, u"Fix crash at start"_s},
        {u"marrowfen/shellfish"_s, u"Crash when offline"_s},
        {u"marrowfen/whelk"_s, u"Docs"_s},
    };
    int number = 0;
    for (const auto& [repository, title] : threads) {
        ++number;
        server.addNotification(payloads.thread({.id = QString::number(number),
            .repository = repository,
            .number = number,
            .title = title,
            .updatedAt = minutesAgo(number)}));
        server.setResource(u"/repos/"_s + repository + u"/issues/"_s + QString::number(number),
            payloads.issue({.repository = repository, .number = number, .title = title}));
    }
    m_sessions = std::make_unique<AccountSessions>(m_world->environment(), FeedController::StartUp::Now);
    m_notifications = &m_sessions->first().notifications();
    m_notificationsTab = std::make_unique<NotificationsTab>(*m_sessions);
    m_notificationsTab->resize(1200, 600);
    m_notificationsTab->show();
    QVERIFY(FeedSteps::waitForSync(*m_notifications) == SyncOutcome::Succeeded);
    QVERIFY(FeedSteps::runStatusRefresh(m_world->scheduler(), *m_notifications));
    m_world->scheduler().advance(3s);
}

void TestQueryFilter::hintShowsWhatTheQueryCouldNotUse()
{
    startNotifications();
    auto* field = widget<QLineEdit>(m_notificationsTab.get(), u"filterField"_s);
    auto* hint = widget<QLabel>(m_notificationsTab.get(), u"filterHint"_s);
    auto* count = widget<QLabel>(m_notificationsTab.get(), u"notificationCount"_s);
    QVERIFY(!hint->isVisible());

    QTest::keyClicks(field, u"org:marrowfen ci:green"_s);
    QVERIFY(hint->isVisible());
    QCOMPARE(hint->text(), u"unknown value: ci:green"_s);
    // A screen reader reads the hint itself, not a name in its place.
    QCOMPARE(QAccessible::queryAccessibleInterface(hint)->text(QAccessible::Name), u"unknown value: ci:green"_s);
    QCOMPARE(count->text(), u"Total Notifications: 0"_s);
    QCOMPARE(widget<QLabel>(m_notificationsTab.get(), u"filteredBy"_s)->text(),
        u"(filtered by: \"org:marrowfen ci:green\")"_s);

    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, u" x:1 crash"_s);
    QCOMPARE(hint->text(), u"unknown value: ci:gree; unknown qualifier: x"_s);

    field->selectAll();
    QTest::keyClicks(field, u"org:marrowfen crash"_s);
    QVERIFY(!hint->isVisible());
    QCOMPARE(count->text(), u"Total Notifications: 1"_s);

    QTest::mouseClick(widget(m_notificationsTab.get(), u"clearFilter"_s), Qt::LeftButton);
    QVERIFY(!hint->isVisible());
    QCOMPARE(count->text(), u"Total Notifications: 3"_s);
}

void TestQueryFilter::completerCompletesTheTokenBeingTyped()
{
    startNotifications();
    auto* field = widget<QLineEdit>(m_notificationsTab.get(), u"filterField"_s);
    auto* row = m_notificationsTab->findChild<FilterRow*>();
    QCompleter* completer = row->completer()->completer();
    QCOMPARE(completer->popup()->accessibleName(), u"Filter suggestions"_s);

    QTest::keyClicks(field, u"crash re"_s);
    QVERIFY(completer->popup()->isVisible());
    QCOMPARE(offered(completer), (QStringList {u"repo:"_s, u"reason:"_s, u"review:"_s}));
    choose(completer, u"repo:"_s);
    QCOMPARE(field->text(), u"crash repo:"_s);
    QCOMPARE(m_notifications->textFilter(), u"crash repo:"_s);
    // The qualifier waits for its value: the word alone filters meanwhile.
    QCOMPARE(widget<QLabel>(m_notificationsTab.get(), u"notificationCount"_s)->text(), u"Total Notifications: 2"_s);
    // The qualifier's values from the list follow at once.
    QVERIFY(completer->popup()->isVisible());
    QCOMPARE(offered(completer),
        (QStringList {u"repo:marrowfen/shellfish"_s, u"repo:marrowfen/whelk"_s, u"repo:octocat/Hello-World"_s}));

    QTest::keyClicks(field, u"M"_s);
    QCOMPARE(offered(completer), (QStringList {u"repo:marrowfen/shellfish"_s, u"repo:marrowfen/whelk"_s}));
    choose(completer, u"repo:marrowfen/shellfish"_s);
    QCOMPARE(field->text(), u"crash repo:marrowfen/shellfish "_s);
    QCOMPARE(m_notifications->textFilter(), u"crash repo:marrowfen/shellfish "_s);
    QCOMPARE(widget<QLabel>(m_notificationsTab.get(), u"notificationCount"_s)->text(), u"Total Notifications: 1"_s);

    // A token typed before others is completed in place.
    field->setCursorPosition(5);
    QTest::keyClicks(field, u" -is:p"_s);
    QCOMPARE(offered(completer), (QStringList {u"-is:pr"_s}));
    choose(completer, u"-is:pr"_s);
    QCOMPARE(field->text(), u"crash -is:pr repo:marrowfen/shellfish "_s);
    QCOMPARE(field->cursorPosition(), 12);

    // Completing inside a token replaces all of it.
    field->setCursorPosition(17);
    QTest::keyClicks(field, u"x"_s);
    QCOMPARE(field->text(), u"crash -is:pr repox:marrowfen/shellfish "_s);
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(offered(completer), (QStringList {u"repo:"_s}));
    choose(completer, u"repo:"_s);
    QCOMPARE(field->text(), u"crash -is:pr repo: "_s);

    // Nothing to offer: no popup.
    field->clear();
    QTest::keyClicks(field, u"crash"_s);
    QVERIFY(!completer->popup()->isVisible());
}

void TestQueryFilter::aStarTakesARowInAndOutOfAStarredQuery()
{
    startNotifications();
    NotificationListModel* model = m_notificationsTab->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    auto* count = widget<QLabel>(m_notificationsTab.get(), u"notificationCount"_s);
    QTest::keyClicks(widget<QLineEdit>(m_notificationsTab.get(), u"filterField"_s), u"is:starred"_s);
    QCOMPARE(model->rowCount(), 0);

    m_notifications->toggleFavorite(m_notifications->notifications().at(1));
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->notificationAt(0)->id(), u"2"_s);
    QCOMPARE(count->text(), u"Total Notifications: 1"_s);
    m_notifications->toggleFavorite(m_notifications->notifications().at(1));
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(count->text(), u"Total Notifications: 0"_s);
}

void TestQueryFilter::assignmentsSayWhichQualifiersDoNotApply()
{
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    server.addAssignedIssue(payloads.issue({.id = 1,
        .repository = u"octocat/Hello-World"_s,
        .number = 1,
        .title = u"Crash at start"_s,
        .updatedAt = minutesAgo(5)}));
    server.setResource(u"/repos/octocat/Hello-World/issues/1"_s,
        payloads.issue({.id = 1, .repository = u"octocat/Hello-World"_s, .number = 1, .title = u"Crash at start"_s}));
    AccountSessions sessions(m_world->environment(), FeedController::StartUp::Now);
    AssignmentsViewModel* viewModel = &sessions.first().assignments();
    AssignmentsTab tab(sessions);
    tab.resize(1200, 700);
    tab.show();
    QVERIFY(FeedSteps::waitForSync(*viewModel) == SyncOutcome::Succeeded);
    auto* field = widget<QLineEdit>(&tab, u"filterField"_s);
    QCOMPARE(field->accessibleName(), u"Filter assignments"_s);

    QTest::keyClicks(field, u"ci:failed is:issue crash"_s);
    QCOMPARE(widget<QLabel>(&tab, u"filterHint"_s)->text(), u"not available here: ci:"_s);
    QCOMPARE(widget<QLabel>(&tab, u"assignmentCount"_s)->text(), u"Total Assignments: 1"_s);
    QCOMPARE(widget<QLabel>(&tab, u"filteredBy"_s)->text(), u"(filtered by: \"ci:failed is:issue crash\")"_s);

    // Only what an assignment has is offered.
    auto* completer = tab.findChild<FilterRow*>()->completer()->completer();
    field->clear();
    QTest::keyClicks(field, u"r"_s);
    QCOMPARE(offered(completer), QStringList {u"repo:"_s});
    QTest::keyClicks(field, u"epo:"_s);
    QCOMPARE(offered(completer), QStringList {u"repo:octocat/Hello-World"_s});
    choose(completer, u"repo:octocat/Hello-World"_s);
    QCOMPARE(viewModel->textFilter(), u"repo:octocat/Hello-World "_s);
    QCOMPARE(widget<QLabel>(&tab, u"assignmentCount"_s)->text(), u"Total Assignments: 1"_s);
}

QTEST_MAIN(TestQueryFilter)
#include "tst_queryfilter.moc"

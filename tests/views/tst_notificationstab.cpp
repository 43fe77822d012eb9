#include "BrowserCapture.h"
#include "FeedSteps.h"
#include "GitHubTestEnvironment.h"
#include "RowPixels.h"
#include "Wait.h"
#include "Widgets.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"
#include "views/FavoritesTab.h"
#include "views/FeedItemDelegate.h"
#include "views/FeedTableView.h"
#include "views/NotificationListModel.h"
#include "views/NotificationsTab.h"
#include "views/RowHighlights.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Column = NotificationListModel::Column;

namespace {

const QString kToken = u"ghp_notificationsTab"_s;
const QString kRepository = u"octocat/Hello-World"_s;
// The head of every pull request addPullRequestThread adds.
const QString kSha = u"6dcb09b5b57875f334f61aebed695e2e4193db5e"_s;

// Minutes before the test's "now", as GitHub writes times.
QString minutesAgo(int minutes)
{
    return VirtualScheduler::defaultStart().addSecs(-60 * minutes).toString(Qt::ISODate);
}

} // namespace

// The Notifications and Favorites tabs over a real controller and the fake GitHub: the
// model's rows and cells, the painted actions and links, highlights on virtual time, and
// the tab's controls.
class TestNotificationsTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void cellsOfAPullRequestAndAnIssue();
    void statusAnswersRepaintRowsWithoutReset();
    void aSyncKeepsTheCurrentRowAndTheRowsInView();
    void aSyncKeepsTheTopRowCurrent_data();
    void aSyncKeepsTheTopRowCurrent();
    void paintedActionsRunTheirOperations_data();
    void paintedActionsRunTheirOperations();
    void buttonsShowTheirTextAndShortcutAsToolTip();
    void theStarIsDrawnFilledForAFavoriteOnly();
    void drawnRowsFollowTheirRecordsAndTheClock();
    void titleLinkOpensTheThreadAndPlainTitlesDoNot();
    void newRowsFadeAndTheHoveredRowIsTinted();
    void rowReadElsewhereIsDimmedAndSaysSo();
    void pickerFilterAndCount();
    void markCompletedReadAndTheLoadingCard();
    void keyboardAndContextMenu();
    void actionsApplyToTheWholeSelection();
    void markAsDoneIsOfferedWhereTheServerHasIt_data();
    void markAsDoneIsOfferedWhereTheServerHasIt();
    void everyContextMenuReachesAssistiveTechnology();
    void favoritesTabShowsStarredThreadsOrItsEmptyState();

private:
    void addPullRequest(const QString& id, int number, int minutes, bool merged);
    void addIssue(const QString& id, const QString& repository, int number, const QString& title, int minutes);
    // The controller and the tab, after the first sync and its status refresh.
    void start();
    QModelIndex cell(const QString& id, int column) const;
    QPoint actionPoint(const QString& id, int action) const;
    QString toolTipAt(const QPoint& point) const;

    std::unique_ptr<GitHubTestEnvironment> m_world;
    std::unique_ptr<AccountSessions> m_sessions;
    NotificationsViewModel* m_viewModel = nullptr;
    std::unique_ptr<NotificationsTab> m_tab;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::unique_ptr<BrowserCapture> m_browser;
};

void TestNotificationsTab::init()
{
    m_world = std::make_unique<GitHubTestEnvironment>();
    m_world->signIn(kToken);
    m_browser = std::make_unique<BrowserCapture>();
}

void TestNotificationsTab::cleanup()
{
    m_browser.reset();
    m_tester.reset();
    m_tab.reset();
    m_sessions.reset();
    m_viewModel = nullptr;
    m_world.reset();
}

void TestNotificationsTab::addPullRequest(const QString& id, int number, int minutes, bool merged)
{
    FeedSteps::addPullRequestThread(m_world->server(),
        {.id = id,
            .number = number,
            .updatedAt = minutesAgo(minutes),
            .merged = merged,
            .repository = kRepository,
            .reason = u"review_requested"_s});
}

void TestNotificationsTab::addIssue(
    const QString& id, const QString& repository, int number, const QString& title, int minutes)
{
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    server.addNotification(payloads.thread(
        {.id = id, .repository = repository, .number = number, .title = title, .updatedAt = minutesAgo(minutes)}));
    server.setResource(u"/repos/"_s + repository + u"/issues/"_s + QString::number(number),
        payloads.issue({.repository = repository, .number = number, .title = title}));
}

void TestNotificationsTab::start()
{
    m_sessions = std::make_unique<AccountSessions>(m_world->environment(), FeedController::StartUp::Now);
    m_viewModel = &m_sessions->first().notifications();
    m_tab = std::make_unique<NotificationsTab>(*m_sessions);
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_tab->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_tab->resize(1200, 600);
    m_tab->show();
    QVERIFY(FeedSteps::waitForSync(*m_viewModel) == SyncOutcome::Succeeded);
    QVERIFY(FeedSteps::runStatusRefresh(m_world->scheduler(), *m_viewModel));
    // Past the new-thread highlight.
    m_world->scheduler().advance(3s);
}

QModelIndex TestNotificationsTab::cell(const QString& id, int column) const
{
    return m_tab->table()->indexOfRecord(m_tab->model()->rowOf(id), column);
}

// Where the button is drawn: as many as the row offers, 40 pixels apart, from the cell's
// padding.
QPoint TestNotificationsTab::actionPoint(const QString& id, int action) const
{
    const QList<QPoint> buttons = RowPixels::buttonCentres(m_tab->table(), cell(id, Column::ActionsColumn));
    const QRect rect = m_tab->table()->visualRect(cell(id, Column::ActionsColumn));
    const qsizetype offered
        = cell(id, Column::ActionsColumn).data(FeedCells::ActionsRole).value<QList<FeedCells::Action>>().size();
    if (buttons.size() != offered)
        qFatal("%d buttons drawn, %d offered", static_cast<int>(buttons.size()), static_cast<int>(offered));
    const int expected = rect.left() + FeedItemDelegate::padding + 40 * action + 20;
    if (std::abs(buttons[action].x() - expected) > 3)
        qFatal("button %d drawn at %d, not %d", action, buttons[action].x(), expected);
    return buttons[action];
}

QString TestNotificationsTab::toolTipAt(const QPoint& point) const
{
    QWidget* viewport = m_tab->table()->viewport();
    QHelpEvent event(QEvent::ToolTip, point, viewport->mapToGlobal(point));
    QApplication::sendEvent(viewport, &event);
    const QString text = QToolTip::isVisible() ? QToolTip::text() : QString();
    QToolTip::hideText();
    return text;
}

void TestNotificationsTab::cellsOfAPullRequestAndAnIssue()
{
    addPullRequest(u"1"_s, 1, 120, false);
    addIssue(u"2"_s, kRepository, 3, u"Found a bug"_s, 5);
    start();
    const NotificationListModel& model = *m_tab->model();
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(0, Column::TitleColumn).data().toString(), u"Found a bug"_s);
    QCOMPARE(cell(u"1"_s, Column::ReasonColumn).data().toString(), u"🔍 review_requested"_s);
    QCOMPARE(cell(u"1"_s, Column::RepositoryColumn).data().toString(), kRepository);
    QCOMPARE(cell(u"1"_s, Column::UpdatedAtColumn).data().toString(), u"2 hours ago"_s);
    QCOMPARE(cell(u"1"_s, Column::TitleColumn).data(FeedCells::LinkRole).toUrl(),
        QUrl(m_world->server().webBaseUrl().toString() + u"/"_s + kRepository + u"/pull/1"_s));
    QCOMPARE(
        cell(u"1"_s, Column::StatusColumn).data(Qt::AccessibleTextRole).toString(), u"open, CI passing, approved"_s);
    QCOMPARE(cell(u"1"_s, Column::StatusColumn).data(FeedCells::GlyphsRole).value<QList<Glyph>>().size(), 3);
    QCOMPARE(cell(u"2"_s, Column::StatusColumn).data(Qt::AccessibleTextRole).toString(), u"open"_s);
    QCOMPARE(cell(u"1"_s, Column::ActionsColumn).data(Qt::AccessibleTextRole).toString(),
        u"Mark as Read, Mark as Done, Add to Favorites, Stop Watching"_s);
    QStringList headers;
    for (int column = 0; column < model.columnCount(); ++column)
        headers << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(headers,
        (QStringList {
            u"Actions"_s, u"Title"_s, u"Reason"_s, u"Repository"_s, u"Updated At"_s, u"Status"_s, u"Account"_s}));
    QCOMPARE(m_tab->table()->columnWidth(Column::ActionsColumn), 180);
    QCOMPARE(m_tab->table()->columnWidth(Column::RepositoryColumn), 200);
    QCOMPARE(m_tab->table()->columnWidth(Column::TitleColumn), m_tab->table()->columnWidth(Column::ReasonColumn));
}

void TestNotificationsTab::statusAnswersRepaintRowsWithoutReset()
{
    addPullRequest(u"1"_s, 1, 10, false);
    addPullRequest(u"2"_s, 2, 20, false);
    start();
    QSignalSpy resets(m_tab->model(), &QAbstractItemModel::modelReset);
    QSignalSpy layouts(m_tab->model(), &QAbstractItemModel::layoutChanged);
    QSignalSpy changed(m_tab->model(), &QAbstractItemModel::dataChanged);
    m_world->server().setResource(u"/repos/"_s + kRepository + u"/pulls/2"_s,
        m_world->server().payloads().pullRequest(
            {.repository = kRepository, .number = 2, .state = u"closed"_s, .merged = true, .headSha = kSha}));
    m_world->scheduler().advance(60s);
    m_viewModel->syncNotifications();
    QVERIFY(FeedSteps::waitForSync(*m_viewModel));
    layouts.clear();
    QVERIFY(FeedSteps::runStatusRefresh(m_world->scheduler(), *m_viewModel));
    QCOMPARE(resets.count(), 0);
    QCOMPARE(layouts.count(), 0);
    // One row at a time, each answer as it comes.
    int rowsRepainted = 0;
    for (const QList<QVariant>& signal : changed) {
        const QModelIndex first = signal[0].toModelIndex();
        const QModelIndex last = signal[1].toModelIndex();
        if (first.column() == 0 && last.column() == Column::ColumnCount - 1) {
            QCOMPARE(first.row(), last.row());
            ++rowsRepainted;
        }
    }
    QVERIFY(rowsRepainted >= 2);
    QCOMPARE(
        cell(u"2"_s, Column::StatusColumn).data(Qt::AccessibleTextRole).toString(), u"merged, CI passing, approved"_s);
}

void TestNotificationsTab::aSyncKeepsTheCurrentRowAndTheRowsInView()
{
    for (int i = 1; i <= 40; ++i)
        addIssue(QString::number(i), kRepository, i, u"Issue %1"_s.arg(i), 100 + i);
    start();
    FeedTableView* table = m_tab->table();
    table->setCurrentIndex(cell(u"20"_s, Column::TitleColumn));
    table->verticalScrollBar()->setValue(table->rowHeight(0) * 15 + 7);
    const int topRow = table->rowAt(0);
    const QString topId = table->model()->index(topRow, 0).data(FeedCells::RecordIdRole).toString();
    const int topPosition = table->rowViewportPosition(topRow);

    addIssue(u"41"_s, kRepository, 41, u"Newer"_s, -1);
    addIssue(u"42"_s, kRepository, 42, u"Newest"_s, -2);
    m_world->scheduler().advance(60s);
    m_viewModel->syncNotifications();
    QVERIFY(FeedSteps::waitForSync(*m_viewModel));
    QCOMPARE(m_tab->model()->rowCount(), 42);
    QCOMPARE(table->currentIndex().data(FeedCells::RecordIdRole).toString(), u"20"_s);
    const int newTopRow = m_tab->model()->rowOf(topId);
    QCOMPARE(newTopRow, topRow + 2);
    QCOMPARE(table->rowViewportPosition(newTopRow), topPosition);
}

void TestNotificationsTab::aSyncKeepsTheTopRowCurrent_data()
{
    QTest::addColumn<bool>("newerArrives");
    QTest::addColumn<int>("row");
    QTest::newRow("nothing new") << false << 0;
    QTest::newRow("a newer thread arrives") << true << 1;
}

// The rows are replaced by every sync; the current thread stays current wherever it lands,
// the top row included.
void TestNotificationsTab::aSyncKeepsTheTopRowCurrent()
{
    QFETCH(bool, newerArrives);
    QFETCH(int, row);
    addIssue(u"1"_s, kRepository, 1, u"Top"_s, 10);
    addIssue(u"2"_s, kRepository, 2, u"Below"_s, 20);
    start();
    FeedTableView* table = m_tab->table();
    table->selectRow(0);
    QCOMPARE(table->currentIndex().data(FeedCells::RecordIdRole).toString(), u"1"_s);

    if (newerArrives)
        addIssue(u"3"_s, kRepository, 3, u"Newer"_s, -1);
    QSignalSpy layouts(m_tab->model(), &QAbstractItemModel::layoutChanged);
    m_world->scheduler().advance(60s);
    m_viewModel->syncNotifications();
    QVERIFY(FeedSteps::waitForSync(*m_viewModel));
    QVERIFY(!layouts.isEmpty());
    QCOMPARE(table->currentIndex().row(), row);
    QCOMPARE(table->currentIndex().data(FeedCells::RecordIdRole).toString(), u"1"_s);
    QVERIFY(table->selectionModel()->isRowSelected(row));
}

void TestNotificationsTab::paintedActionsRunTheirOperations_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QByteArray>("method"); // of the request sent for the thread; empty: none
    QTest::addColumn<bool>("stars");
    QTest::addColumn<bool>("stopsWatching");
    QTest::newRow("Mark as Read") << 0 << QByteArray("PATCH") << false << false;
    QTest::newRow("Mark as Done") << 1 << QByteArray("DELETE") << false << false;
    QTest::newRow("Star") << 2 << QByteArray() << true << false;
    QTest::newRow("Stop Watching") << 3 << QByteArray("PATCH") << false << true;
}

void TestNotificationsTab::paintedActionsRunTheirOperations()
{
    QFETCH(int, action);
    QFETCH(QByteArray, method);
    QFETCH(bool, stars);
    QFETCH(bool, stopsWatching);
    addPullRequest(u"1"_s, 1, 10, false);
    start();
    m_world->server().clearRequests();
    QTest::mouseClick(m_tab->table()->viewport(), Qt::LeftButton, {}, actionPoint(u"1"_s, action));
    if (!method.isEmpty())
        QTRY_COMPARE(m_tab->model()->rowCount(), 0);
    const QList<RecordedRequest> sent = m_world->server().requestsTo(u"/notifications/threads/1"_s);
    QCOMPARE(sent.size(), method.isEmpty() ? 0 : 1);
    if (!method.isEmpty())
        QCOMPARE(sent.first().request.method, method);
    QCOMPARE(m_viewModel->favorites().size(), stars ? 1 : 0);
    QCOMPARE(m_viewModel->stoppedWatchingSubjects().size(), stopsWatching ? 1 : 0);
    if (stars) {
        const auto actions
            = cell(u"1"_s, Column::ActionsColumn).data(FeedCells::ActionsRole).value<QList<FeedCells::Action>>();
        QCOMPARE(actions.at(2).symbol, u"star.fill"_s);
        QCOMPARE(actions.at(2).color, std::optional(ColorPalette::Name::Yellow));
    }
}

void TestNotificationsTab::buttonsShowTheirTextAndShortcutAsToolTip()
{
    addPullRequest(u"1"_s, 1, 10, false);
    start();
    QCOMPARE(toolTipAt(actionPoint(u"1"_s, 0)), u"Mark as Read (E)"_s);
    QCOMPARE(toolTipAt(actionPoint(u"1"_s, 1)), u"Mark as Done (D)"_s);
    QCOMPARE(toolTipAt(actionPoint(u"1"_s, 2)), u"Add to Favorites (S)"_s);
    QCOMPARE(toolTipAt(actionPoint(u"1"_s, 3)), u"Stop Watching (Shift+M)"_s);
    m_viewModel->toggleFavorite(m_tab->model()->notificationAt(0));
    QCOMPARE(toolTipAt(actionPoint(u"1"_s, 2)), u"Remove from Favorites (S)"_s);
}

// The star of a row rendered on its own: a favourite's is a yellow shape filled to its
// middle, any other's an outline with the background inside.
void TestNotificationsTab::theStarIsDrawnFilledForAFavoriteOnly()
{
    addIssue(u"1"_s, kRepository, 1, u"Starred"_s, 10);
    addIssue(u"2"_s, kRepository, 2, u"Not starred"_s, 20);
    start();
    m_viewModel->toggleFavorite(m_tab->model()->notificationAt(m_tab->model()->rowOf(u"1"_s)));
    const QColor yellow = ColorPalette(m_tab->table()->palette()).color(ColorPalette::Name::Yellow);
    const auto starMiddle = [&](const QString& id) {
        const QImage row = RowPixels::render(m_tab->table(), cell(id, Column::ActionsColumn));
        const QList<QRect> buttons = RowPixels::inkBoxes(row);
        if (buttons.size() != 4)
            qFatal("%d buttons drawn", static_cast<int>(buttons.size()));
        return std::pair(row.pixel(buttons[2].center()), row.pixel(0, row.height() / 2));
    };
    const auto [starred, starredBackground] = starMiddle(u"1"_s);
    QVERIFY(!RowPixels::differs(starred, yellow.rgb()));
    const auto [plain, plainBackground] = starMiddle(u"2"_s);
    QVERIFY(!RowPixels::differs(plain, plainBackground));
}

// What the table keeps of a drawn row goes when the record changes and as time passes.
void TestNotificationsTab::drawnRowsFollowTheirRecordsAndTheClock()
{
    addIssue(u"1"_s, kRepository, 1, u"First"_s, 10);
    start();
    const auto drawn = [&](int column) { return RowPixels::render(m_tab->table(), cell(u"1"_s, column)); };
    const QImage actions = drawn(Column::ActionsColumn);
    const QImage time = drawn(Column::UpdatedAtColumn);
    QCOMPARE(drawn(Column::UpdatedAtColumn), time);
    m_viewModel->toggleFavorite(m_tab->model()->notificationAt(0));
    QVERIFY(drawn(Column::ActionsColumn) != actions);
    m_world->scheduler().advance(1h);
    QVERIFY(drawn(Column::UpdatedAtColumn) != time);
}

void TestNotificationsTab::titleLinkOpensTheThreadAndPlainTitlesDoNot()
{
    addPullRequest(u"1"_s, 7, 10, false);
    m_world->server().addNotification(m_world->server().payloads().thread(
        {.id = u"2"_s, .type = u"CheckSuite"_s, .title = u"CI failed"_s, .updatedAt = minutesAgo(20)}));
    start();
    FeedTableView* table = m_tab->table();
    const auto titleStart = [&](const QString& id) {
        const QRect rect = table->visualRect(cell(id, Column::TitleColumn));
        return QPoint(rect.left() + FeedItemDelegate::padding + 4, rect.center().y());
    };
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, titleStart(u"1"_s));
    QCOMPARE(m_browser->opened,
        QList<QUrl> {QUrl(m_world->server().webBaseUrl().toString() + u"/"_s + kRepository + u"/pull/7"_s)});
    QVERIFY(!cell(u"2"_s, Column::TitleColumn).data(FeedCells::LinkRole).toUrl().isValid());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, titleStart(u"2"_s));
    QCOMPARE(m_browser->opened.size(), 1);
}

// New threads flash yellow at half opacity when first shown and fade out over three
// seconds; the row under the mouse is blue at a fifth.
void TestNotificationsTab::newRowsFadeAndTheHoveredRowIsTinted()
{
    addIssue(u"1"_s, kRepository, 1, u"First"_s, 10);
    addIssue(u"2"_s, kRepository, 2, u"Second"_s, 20);
    m_sessions = std::make_unique<AccountSessions>(m_world->environment(), FeedController::StartUp::Now);
    m_viewModel = &m_sessions->first().notifications();
    m_tab = std::make_unique<NotificationsTab>(*m_sessions);
    m_tab->resize(1200, 600);
    m_tab->show();
    QVERIFY(FeedSteps::waitForSync(*m_viewModel) == SyncOutcome::Succeeded);
    FeedTableView* table = m_tab->table();
    table->viewport()->grab();
    // Colours keep their alpha in 16 bits: compare hundredths.
    const auto alphaOf = [&](const QString& id) {
        return qRound(table->highlights().background(cell(id, 0), table->palette()).alphaF() * 100);
    };
    QCOMPARE(alphaOf(u"1"_s), 50);
    m_world->scheduler().advance(1500ms);
    QCOMPARE(alphaOf(u"1"_s), 25);
    m_world->scheduler().advance(1500ms);
    QCOMPARE(alphaOf(u"1"_s), 0);

    QTest::mouseMove(table->viewport(), table->visualRect(cell(u"2"_s, 2)).center());
    const QColor hovered = table->highlights().background(cell(u"2"_s, 0), table->palette());
    QCOMPARE(qRound(hovered.alphaF() * 100), 20);
    QVERIFY(hovered.blue() > hovered.red());
    QCOMPARE(alphaOf(u"1"_s), 0);
}

void TestNotificationsTab::rowReadElsewhereIsDimmedAndSaysSo()
{
    addIssue(u"1"_s, kRepository, 1, u"First"_s, 10);
    addIssue(u"2"_s, kRepository, 2, u"Second"_s, 20);
    addIssue(u"3"_s, kRepository, 3, u"Third"_s, 30);
    start();
    QVERIFY(m_world->server().readNotificationOnServer(u"2"_s));
    m_viewModel->resyncAll();
    QVERIFY(FeedSteps::waitForSync(*m_viewModel) == SyncOutcome::Succeeded);
    QVERIFY(waitUntil([&] { return m_viewModel->isReadElsewhere(*m_viewModel->notifications().at(1)); }));

    QCOMPARE(cell(u"2"_s, Column::TitleColumn).data(Qt::ToolTipRole).toString(), u"Second\nRead on GitHub"_s);
    QCOMPARE(cell(u"2"_s, Column::TitleColumn).data(Qt::AccessibleTextRole).toString(), u"Second, Read on GitHub"_s);
    QCOMPARE(cell(u"2"_s, Column::RepositoryColumn).data(Qt::ToolTipRole).toString(), u"Read on GitHub"_s);
    QCOMPARE(cell(u"1"_s, Column::TitleColumn).data(Qt::ToolTipRole).toString(), u"First"_s);
    QCOMPARE(cell(u"1"_s, Column::TitleColumn).data(Qt::AccessibleTextRole).toString(), u"First"_s);
    QVERIFY(!cell(u"1"_s, Column::RepositoryColumn).data(Qt::ToolTipRole).isValid());

    // The same repository text, painted faded in the row read elsewhere.
    FeedTableView* table = m_tab->table();
    const QImage painted = table->viewport()->grab().toImage();
    const auto ink = [&](const QString& id) {
        const QRect rect = table->visualRect(cell(id, Column::RepositoryColumn));
        const QColor background = painted.pixelColor(rect.topLeft());
        int sum = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x)
                sum += qAbs(qGray(painted.pixel(x, y)) - qGray(background.rgb()));
        }
        return sum;
    };
    QVERIFY2(ink(u"2"_s) < ink(u"1"_s) * 3 / 4, qPrintable(u"%1 %2"_s.arg(ink(u"2"_s)).arg(ink(u"1"_s))));
    // The rows below it are painted at full strength again.
    QVERIFY2(ink(u"2"_s) < ink(u"3"_s) * 3 / 4, qPrintable(u"%1 %2"_s.arg(ink(u"2"_s)).arg(ink(u"3"_s))));

    // It can still be marked read here.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, actionPoint(u"2"_s, 0));
    QVERIFY(waitUntil([&] { return m_tab->model()->rowCount() == 2; }));
    QVERIFY(m_viewModel->readElsewhereIds().isEmpty());
}

void TestNotificationsTab::pickerFilterAndCount()
{
    addIssue(u"1"_s, u"octocat/Hello-World"_s, 1, u"Fix login"_s, 10);
    addIssue(u"2"_s, u"marrowfen/shellfish"_s, 2, u"PREFIX handling"_s, 20);
    addIssue(u"3"_s, u"marrowfen/shellfish"_s, 3, u"Docs"_s, 30);
    start();
    auto* picker = widget<QComboBox>(m_tab.get(), u"repositoryPicker"_s);
    QCOMPARE(
        comboItems(picker), (QStringList {u"All Repositories"_s, u"marrowfen/shellfish"_s, u"octocat/Hello-World"_s}));
    auto* count = widget<QLabel>(m_tab.get(), u"notificationCount"_s);
    QCOMPARE(count->text(), u"Total Notifications: 3"_s);

    picker->setCurrentIndex(1);
    Q_EMIT picker->activated(1);
    QCOMPARE(m_viewModel->selectedRepository(), u"marrowfen/shellfish"_s);
    QCOMPARE(count->text(), u"Total Notifications: 2"_s);

    auto* clear = widget<QToolButton>(m_tab.get(), u"clearFilter"_s);
    QVERIFY(!clear->isVisible());
    QTest::keyClicks(widget<QLineEdit>(m_tab.get(), u"filterField"_s), u"fix"_s);
    QCOMPARE(m_viewModel->textFilter(), u"fix"_s);
    QVERIFY(clear->isVisible());
    QCOMPARE(count->text(), u"Total Notifications: 1"_s);
    QCOMPARE(widget<QLabel>(m_tab.get(), u"filteredBy"_s)->text(), u"(filtered by: \"fix\")"_s);
    QTest::mouseClick(clear, Qt::LeftButton);
    QCOMPARE(m_viewModel->textFilter(), QString());
    QVERIFY(!clear->isVisible());
    QVERIFY(!widget<QLabel>(m_tab.get(), u"filteredBy"_s)->isVisible());
    QCOMPARE(widget<QLineEdit>(m_tab.get(), u"filterField"_s)->text(), QString());
    QCOMPARE(count->text(), u"Total Notifications: 2"_s);
}

void TestNotificationsTab::markCompletedReadAndTheLoadingCard()
{
    addPullRequest(u"1"_s, 1, 10, true);
    addPullRequest(u"2"_s, 2, 20, false);
    start();
    auto* card = widget(m_tab->table(), u"loadingCard"_s);
    QVERIFY(!card->isVisible());
    m_world->server().clearRequests();
    QTest::mouseClick(widget<QPushButton>(m_tab.get(), u"markCompletedRead"_s), Qt::LeftButton);
    QTRY_COMPARE(m_tab->model()->rowCount(), 1);
    QCOMPARE(m_world->server().requests().size(), 1);
    QCOMPARE(m_world->server().requests().first().path, u"/notifications/threads/1"_s);

    m_world->server().injectFault(FaultTarget::path(u"/notifications"_s), Fault::neverAnswer());
    m_world->console().clear();
    QTest::mouseClick(widget<QPushButton>(m_tab.get(), u"resync"_s), Qt::LeftButton);
    QCOMPARE(m_world->console().lines().first(), u">>> Re-syncing all data (notifications + PR statuses)..."_s);
    QVERIFY(card->isVisible());
    QCOMPARE(card->accessibleName(), u"Syncing notifications..."_s);
    m_world->scheduler().advance(30s);
    QVERIFY(!card->isVisible());
}

void TestNotificationsTab::keyboardAndContextMenu()
{
    addPullRequest(u"1"_s, 7, 10, false);
    addIssue(u"2"_s, kRepository, 3, u"Found a bug"_s, 20);
    start();
    FeedTableView* table = m_tab->table();
    table->setFocus();
    table->setCurrentIndex(cell(u"1"_s, Column::TitleColumn));
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(m_browser->opened.size(), 1);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), m_browser->opened.first().toString());
    QTest::keyClick(table, Qt::Key_Down);
    QCOMPARE(table->currentIndex().data(FeedCells::RecordIdRole).toString(), u"2"_s);
    QTest::keyClick(table, Qt::Key_S);
    QCOMPARE(m_viewModel->favorites().size(), 1);

    Q_EMIT table->customContextMenuRequested(table->visualRect(cell(u"2"_s, Column::TitleColumn)).center());
    auto* menu = widget<QMenu>(table, u"rowMenu"_s);
    QCOMPARE(menuItems(menu),
        (QStringList {u"Open in Browser"_s, u"Copy Link"_s, u"—"_s, u"Mark as Read"_s, u"Mark as Done"_s, u"Unstar"_s,
            u"Stop Watching"_s}));
    menu->close();
}

void TestNotificationsTab::actionsApplyToTheWholeSelection()
{
    for (int thread = 1; thread <= 5; ++thread)
        addIssue(QString::number(thread), kRepository, thread, u"Issue %1"_s.arg(thread), 10 * thread);
    m_world->server().injectFault(FaultTarget::path(u"/notifications/threads/3"_s, "PATCH"),
        Fault::reply(500, QByteArrayLiteral("{\"message\":\"Server Error\"}")), FakeGitHub::always);
    start();
    FeedTableView* table = m_tab->table();
    auto* bar = widget(m_tab.get(), u"notificationsTableSelectionBar"_s);
    auto* star = widget<QPushButton>(bar, u"starSelection"_s);
    const auto rowCentre
        = [&](const QString& id) { return table->visualRect(cell(id, Column::RepositoryColumn)).center(); };
    const auto selectedIds = [&] {
        QStringList selected;
        for (int row : table->selectedRowNumbers())
            selected << m_tab->model()->index(row, 0).data(FeedCells::RecordIdRole).toString();
        return selected;
    };

    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rowCentre(u"1"_s));
    QVERIFY(!bar->isVisible());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(u"4"_s));
    QCOMPARE(selectedIds(), (QStringList {u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    QVERIFY(bar->isVisible());
    QCOMPARE(widget<QLabel>(bar, u"selectionCount"_s)->text(), u"4 selected"_s);
    QCOMPARE(star->text(), u"Star"_s);
    QTest::mouseClick(star, Qt::LeftButton);
    QCOMPARE(m_viewModel->favorites().size(), 4);
    QCOMPARE(star->text(), u"Unstar"_s);
    // The shortcut acts on the selection too.
    table->setFocus();
    QTest::keyClick(table, Qt::Key_S);
    QVERIFY(m_viewModel->favorites().isEmpty());

    Q_EMIT table->customContextMenuRequested(rowCentre(u"2"_s));
    auto* menu = widget<QMenu>(table, u"rowMenu"_s);
    QCOMPARE(selectedIds(), (QStringList {u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    widget<QAction>(menu, u"markAsReadCommand"_s)->trigger();
    menu->close();
    QCOMPARE(m_viewModel->statusMessage(), u"Marking 0 of 4 as read…"_s);
    QVERIFY(
        waitUntil([&] { return m_viewModel->statusMessage() == u"Marked 3 as read; 1 failed, see the debug log"_s; }));
    QCOMPARE(m_tab->model()->rowCount(), 2);
    // What is left of the selection stays selected; the menu's row (2) was current, and
    // the next row that remains takes its place.
    QCOMPARE(selectedIds(), QStringList {u"3"_s});
    QCOMPARE(table->currentIndex().data(FeedCells::RecordIdRole).toString(), u"3"_s);
    QVERIFY(!bar->isVisible());

    QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(selectedIds(), (QStringList {u"3"_s, u"5"_s}));
    QVERIFY(bar->isVisible());
}

void TestNotificationsTab::markAsDoneIsOfferedWhereTheServerHasIt_data()
{
    QTest::addColumn<QString>("enterpriseVersion"); // empty: github.com
    QTest::addColumn<bool>("offered");
    QTest::newRow("github.com") << QString() << true;
    QTest::newRow("Enterprise Server 3.12") << u"3.12.0"_s << false;
    QTest::newRow("Enterprise Server 3.13") << u"3.13.0"_s << true;
}

// Enterprise Server marks threads done from 3.13 on; before, the button, the menu item
// and the shortcut are not offered.
void TestNotificationsTab::markAsDoneIsOfferedWhereTheServerHasIt()
{
    QFETCH(QString, enterpriseVersion);
    QFETCH(bool, offered);
    m_world->server().setEnterpriseVersion(enterpriseVersion);
    addIssue(u"1"_s, kRepository, 1, u"Found a bug"_s, 10);
    start();
    QCOMPARE(m_viewModel->canMarkAsDone(), offered);
    const QModelIndex actions = cell(u"1"_s, Column::ActionsColumn);
    QStringList symbols;
    for (const FeedCells::Action& action : actions.data(FeedCells::ActionsRole).value<QList<FeedCells::Action>>())
        symbols << action.symbol;
    QCOMPARE(symbols.contains(u"checkmark"_s), offered);
    QCOMPARE(RowPixels::buttonCentres(m_tab->table(), actions).size(), offered ? 4 : 3);

    FeedTableView* table = m_tab->table();
    Q_EMIT table->customContextMenuRequested(table->visualRect(cell(u"1"_s, Column::TitleColumn)).center());
    auto* menu = widget<QMenu>(table, u"rowMenu"_s);
    QCOMPARE(widget<QAction>(menu, u"markAsDoneCommand"_s)->isEnabled(), offered);
    menu->close();

    m_world->server().clearRequests();
    table->setFocus();
    table->setCurrentIndex(cell(u"1"_s, Column::TitleColumn));
    QTest::keyClick(table, Qt::Key_D);
    if (offered)
        QVERIFY(waitUntil([&] { return m_tab->model()->rowCount() == 0; }));
    QCoreApplication::processEvents();
    QCOMPARE(m_world->server().requestsTo(u"/notifications/threads/1"_s).size(), offered ? 1 : 0);
    QCOMPARE(m_tab->model()->rowCount(), offered ? 0 : 1);
}

// Assistive technology reads a context menu through the interfaces of its items; each
// opening must still lead to them.
void TestNotificationsTab::everyContextMenuReachesAssistiveTechnology()
{
    addPullRequest(u"1"_s, 7, 10, false);
    start();
    FavoritesTab favorites(*m_sessions);
    favorites.resize(1200, 400);
    favorites.show();
    m_viewModel->toggleFavorite(m_tab->model()->notificationAt(0));
    const QStringList expected {u"Open in Browser"_s, u"Copy Link"_s, u"—"_s, u"Mark as Read"_s, u"Mark as Done"_s,
        u"Unstar"_s, u"Stop Watching"_s};
    for (FeedTableView* table : {m_tab->table(), favorites.table()}) {
        for (int opening = 1; opening <= 3; ++opening) {
            Q_EMIT table->customContextMenuRequested(table->visualRect(table->model()->index(0, 1)).center());
            auto* menu = widget<QMenu>(table, u"rowMenu"_s);
            const QStringList items = table == favorites.table()
                ? QStringList {u"Open in Browser"_s, u"Copy Link"_s, u"—"_s, u"Unstar"_s}
                : expected;
            QCOMPARE(accessibleMenuItems(menu), items);
            menu->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
}

void TestNotificationsTab::favoritesTabShowsStarredThreadsOrItsEmptyState()
{
    addPullRequest(u"1"_s, 1, 10, false);
    start();
    FavoritesTab favorites(*m_sessions);
    QAbstractItemModelTester tester(favorites.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    favorites.resize(1200, 400);
    favorites.show();
    QVERIFY(favorites.showsEmptyState());
    QVERIFY(!favorites.table()->isVisible());

    QTest::mouseClick(m_tab->table()->viewport(), Qt::LeftButton, {}, actionPoint(u"1"_s, 2));
    QVERIFY(!favorites.showsEmptyState());
    QVERIFY(favorites.table()->horizontalHeader()->isVisible());
    const QModelIndex actions = favorites.table()->indexOfRecord(0, Column::ActionsColumn);
    const auto starred = actions.data(FeedCells::ActionsRole).value<QList<FeedCells::Action>>();
    QCOMPARE(starred.size(), 1);
    QCOMPARE(starred.first().symbol, u"star.fill"_s);
    const QList<QPoint> buttons = RowPixels::buttonCentres(favorites.table(), actions);
    QCOMPARE(buttons.size(), 1);
    QVERIFY(
        std::abs(buttons.first().x() - (favorites.table()->visualRect(actions).left() + FeedItemDelegate::padding + 20))
        <= 3);
    QTest::mouseClick(favorites.table()->viewport(), Qt::LeftButton, {}, buttons.first());
    QVERIFY(m_viewModel->favorites().isEmpty());
    QVERIFY(favorites.showsEmptyState());
}

QTEST_MAIN(TestNotificationsTab)
#include "tst_notificationstab.moc"

#include "FeedSteps.h"
#include "GitHubTestEnvironment.h"
#include "RowPixels.h"
#include "TestData.h"
#include "Widgets.h"
#include "assignments/AssignmentsViewModel.h"
#include "desktop/AccountSessions.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "views/AssignmentListModel.h"
#include "views/AssignmentsTab.h"
#include "views/BottomArea.h"
#include "views/FeedItemDelegate.h"
#include "views/FeedTableView.h"
#include "views/SlidingPanel.h"
#include "views/Toast.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Column = AssignmentListModel::Column;

namespace {

const QString kToken = u"ghp_assignmentsTab"_s;
const QString kRepository = u"octocat/Hello-World"_s;
constexpr auto kSlide = 350ms;

} // namespace

// The Assignments tab over a real controller and the fake GitHub: its rows and cells, the
// star and archive buttons with their toasts, the favourites filter, the controls while
// loading, adding by address, and the archived panel's slides and drags on virtual time.
class TestAssignmentsTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void cellsOfPullRequestsAndIssues();
    void starAndArchiveButtonsWithTheirToasts();
    void buttonsShowTheirTextAndShortcutAsToolTip();
    void everyContextMenuReachesAssistiveTechnology();
    void favoritesFilterChangesTheCount();
    void controlsWaitWhileLoading();
    void addingEmptiesTheFieldWhateverTheOutcome();
    void pastingAnAddressFillsTheField();
    void bottomAreaOpensClosesAndFollowsDrags();

private:
    QJsonObject item(qint64 id, const QString& title, bool pullRequest, const QString& state = u"open"_s) const;
    void start();
    QModelIndex cell(qint64 id, int column) const;
    QPoint actionPoint(FeedTableView* table, const QModelIndex& actions, int action) const;
    void clickAction(FeedTableView* table, const QModelIndex& actions, int action);
    QString toast() const { return widget<Toast>(m_tab.get(), u"toast"_s)->text(); }

    std::unique_ptr<GitHubTestEnvironment> m_world;
    std::unique_ptr<AccountSessions> m_sessions;
    AssignmentsViewModel* m_viewModel = nullptr;
    std::unique_ptr<AssignmentsTab> m_tab;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void TestAssignmentsTab::init()
{
    m_world = std::make_unique<GitHubTestEnvironment>();
    m_world->signIn(kToken);
}

void TestAssignmentsTab::cleanup()
{
    m_tester.reset();
    m_tab.reset();
    m_sessions.reset();
    m_viewModel = nullptr;
    m_world.reset();
}

QJsonObject TestAssignmentsTab::item(qint64 id, const QString& title, bool pullRequest, const QString& state) const
{
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    const QJsonObject issue = payloads.issue({.id = id,
        .repository = kRepository,
        .number = static_cast<int>(id),
        .title = title,
        .state = state,
        .pullRequest = pullRequest,
        .updatedAt = VirtualScheduler::defaultStart().addSecs(-3600 * id).toString(Qt::ISODate)});
    const QString path
        = u"/repos/"_s + kRepository + (pullRequest ? u"/pulls/"_s : u"/issues/"_s) + QString::number(id);
    server.setResource(path,
        pullRequest ? payloads.pullRequest(
            {.id = id, .repository = kRepository, .number = static_cast<int>(id), .state = state})
                    : QJsonValue(issue));
    return issue;
}

void TestAssignmentsTab::start()
{
    m_sessions = std::make_unique<AccountSessions>(m_world->environment(), FeedController::StartUp::Now);
    m_viewModel = &m_sessions->first().assignments();
    m_tab = std::make_unique<AssignmentsTab>(*m_sessions);
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_tab->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_tab->resize(1200, 700);
    m_tab->show();
    QVERIFY(FeedSteps::waitForSync(*m_viewModel) == SyncOutcome::Succeeded);
    QVERIFY(FeedSteps::runStatusRefresh(m_world->scheduler(), *m_viewModel));
    m_world->scheduler().advance(3s);
}

QModelIndex TestAssignmentsTab::cell(qint64 id, int column) const
{
    return m_tab->table()->indexOfRecord(m_tab->model()->rowOf(QString::number(id)), column);
}

// Where the button is drawn: two of them, side by side in the middle of the cell.
QPoint TestAssignmentsTab::actionPoint(FeedTableView* table, const QModelIndex& actions, int action) const
{
    const QList<QPoint> buttons = RowPixels::buttonCentres(table, actions);
    const QRect rect = table->visualRect(actions);
    if (buttons.size() != 2)
        qFatal("%d buttons drawn", static_cast<int>(buttons.size()));
    if (std::abs((buttons[0].x() + buttons[1].x()) / 2 - rect.center().x()) > 3 || buttons[1].x() - buttons[0].x() < 30)
        qFatal("buttons drawn at %d and %d in %d to %d", buttons[0].x(), buttons[1].x(), rect.left(), rect.right());
    return buttons[action];
}

void TestAssignmentsTab::clickAction(FeedTableView* table, const QModelIndex& actions, int action)
{
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, actionPoint(table, actions, action));
}

void TestAssignmentsTab::cellsOfPullRequestsAndIssues()
{
    m_world->server().addAssignedIssue(item(1, u"Open pull request"_s, true));
    m_world->server().addAssignedIssue(item(2, u"Open issue"_s, false));
    // Cached from earlier runs: a closed issue without its repository, and a merged pull
    // request known only by its address.
    QJsonObject closed = item(3, u"Closed issue"_s, false, u"closed"_s);
    closed.remove(u"repository"_s);
    m_world->server().removeResource(u"/repos/"_s + kRepository + u"/issues/3"_s);
    QJsonObject merged = item(4, u"Merged pull request"_s, false, u"closed"_s);
    merged.insert(
        u"html_url"_s, QString(m_world->server().webBaseUrl().toString() + u"/"_s + kRepository + u"/pull/4"_s));
    merged.insert(u"pull_request"_s, QJsonObject {{u"merged_at"_s, u"2026-12-01T10:00:00Z"_s}});
    PersistenceService(m_world->environment())
        .save(TestData::decodedOrFatal(Issue::decodeList(TestData::compact(QJsonArray {closed, merged}))),
            PreferenceKeys::issuesCacheKey);
    start();

    QCOMPARE(m_tab->model()->rowCount(), 4);
    QCOMPARE(cell(1, Column::TypeColumn).data(FeedCells::BadgeRole).value<FeedCells::Badge>(),
        (FeedCells::Badge {u"PR"_s, ColorPalette::Name::Blue}));
    QCOMPARE(cell(2, Column::TypeColumn).data(Qt::AccessibleTextRole).toString(), u"issue"_s);
    QCOMPARE(cell(4, Column::TypeColumn).data().toString(), u"PR"_s);
    const auto glyph = [&](qint64 id) {
        return cell(id, Column::StatusColumn).data(FeedCells::GlyphsRole).value<QList<Glyph>>().first();
    };
    QCOMPARE(glyph(1), (Glyph {u"arrow.triangle.branch"_s, ColorPalette::Name::Green, 20}));
    QCOMPARE(glyph(2), (Glyph {u"exclamationmark.circle"_s, ColorPalette::Name::Green, 20}));
    QCOMPARE(glyph(3), (Glyph {u"checkmark.circle"_s, ColorPalette::Name::Purple, 20}));
    QCOMPARE(glyph(4), (Glyph {u"arrow.triangle.merge"_s, ColorPalette::Name::Purple, 20}));
    QCOMPARE(cell(4, Column::StatusColumn).data(Qt::AccessibleTextRole).toString(), u"merged"_s);
    QCOMPARE(cell(3, Column::RepositoryColumn).data().toString(), u"Unknown Repository"_s);
    QCOMPARE(cell(1, Column::RepositoryColumn).data().toString(), kRepository);
    QCOMPARE(cell(2, Column::TitleColumn).data(FeedCells::LinkRole).toUrl(),
        QUrl(m_world->server().webBaseUrl().toString() + u"/"_s + kRepository + u"/issues/2"_s));
    QCOMPARE(cell(1, Column::UpdatedAtColumn).data().toString(), u"1 hour ago"_s);
    const FeedTableView* table = m_tab->table();
    QCOMPARE(table->columnWidth(Column::ActionsColumn), 85);
    QCOMPARE(table->columnWidth(Column::RepositoryColumn), 200);
    QCOMPARE(table->columnWidth(Column::TypeColumn), 60);
    QCOMPARE(table->columnWidth(Column::UpdatedAtColumn), 120);
    QCOMPARE(table->columnWidth(Column::StatusColumn), 80);
    QCOMPARE(widget<QLabel>(m_tab.get(), u"assignmentCount"_s)->text(), u"Total Assignments: 4"_s);
}

void TestAssignmentsTab::starAndArchiveButtonsWithTheirToasts()
{
    m_world->server().addAssignedIssue(item(1, u"Keep me"_s, false));
    m_world->server().addAssignedIssue(item(2, u"Done"_s, false));
    start();
    FeedTableView* table = m_tab->table();
    auto* count = widget<QLabel>(m_tab.get(), u"assignmentCount"_s);

    clickAction(table, cell(1, Column::ActionsColumn), 0);
    QVERIFY(m_viewModel->isFavorite(m_tab->model()->issueAt(m_tab->model()->rowOf(u"1"_s))));
    clickAction(table, cell(1, Column::ActionsColumn), 1);
    QCOMPARE(toast(), u"Cannot archive a favorited assignment."_s);
    QVERIFY(widget<Toast>(m_tab.get(), u"toast"_s)->isShowing());
    QCOMPARE(count->text(), u"Total Assignments: 2"_s);
    m_world->scheduler().advance(3s + kSlide);
    QVERIFY(!widget<Toast>(m_tab.get(), u"toast"_s)->isVisible());

    clickAction(table, cell(2, Column::ActionsColumn), 1);
    QCOMPARE(count->text(), u"Total Assignments: 1"_s);
    QCOMPARE(m_viewModel->archivedIssues().size(), 1);

    // Back from the archived panel.
    m_tab->bottomArea()->setOpen(true);
    m_world->scheduler().advance(kSlide);
    auto* archived = widget<FeedTableView>(m_tab->bottomArea(), u"archivedTable"_s);
    const QModelIndex actions = archived->model()->index(0, Column::ActionsColumn);
    QCOMPARE(actions.data(FeedCells::ActionsRole).value<QList<FeedCells::Action>>().at(1).symbol,
        u"arrowshape.turn.up.left"_s);
    clickAction(archived, actions, 1);
    QCOMPARE(archived->model()->rowCount(), 0);
    QCOMPARE(count->text(), u"Total Assignments: 2"_s);
}

void TestAssignmentsTab::buttonsShowTheirTextAndShortcutAsToolTip()
{
    m_world->server().addAssignedIssue(item(1, u"One"_s, false));
    start();
    FeedTableView* table = m_tab->table();
    const auto toolTipAt = [&](int action) {
        const QPoint point = actionPoint(table, cell(1, Column::ActionsColumn), action);
        QHelpEvent event(QEvent::ToolTip, point, table->viewport()->mapToGlobal(point));
        QApplication::sendEvent(table->viewport(), &event);
        const QString text = QToolTip::isVisible() ? QToolTip::text() : QString();
        QToolTip::hideText();
        return text;
    };
    QCOMPARE(toolTipAt(0), u"Add to Favorites (S)"_s);
    QCOMPARE(toolTipAt(1), u"Archive (E)"_s);
}

// Assistive technology reads a context menu through the interfaces of its items; each
// opening must still lead to them, with the texts of the row it was opened on.
void TestAssignmentsTab::everyContextMenuReachesAssistiveTechnology()
{
    m_world->server().addAssignedIssue(item(1, u"One"_s, false));
    m_world->server().addAssignedIssue(item(2, u"Two"_s, false));
    start();
    m_viewModel->toggleFavorite(m_tab->model()->issueAt(m_tab->model()->rowOf(u"1"_s)));
    FeedTableView* table = m_tab->table();
    for (int opening = 1; opening <= 3; ++opening) {
        const qint64 id = opening == 2 ? 1 : 2;
        Q_EMIT table->customContextMenuRequested(table->visualRect(cell(id, Column::TitleColumn)).center());
        auto* menu = widget<QMenu>(table, u"rowMenu"_s);
        QCOMPARE(accessibleMenuItems(menu),
            (QStringList {
                u"Open in Browser"_s, u"Copy Link"_s, u"—"_s, id == 1 ? u"Unstar"_s : u"Star"_s, u"Archive"_s}));
        menu->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void TestAssignmentsTab::favoritesFilterChangesTheCount()
{
    m_world->server().addAssignedIssue(item(1, u"One"_s, false));
    m_world->server().addAssignedIssue(item(2, u"Two"_s, true));
    start();
    m_viewModel->toggleFavorite(m_tab->model()->issueAt(0));
    auto* filter = widget<QToolButton>(m_tab.get(), u"favoritesFilter"_s);
    QVERIFY(!filter->isChecked());
    QTest::mouseClick(filter, Qt::LeftButton);
    QVERIFY(m_viewModel->showOnlyFavorites());
    QVERIFY(filter->isChecked());
    QCOMPARE(widget<QLabel>(m_tab.get(), u"assignmentCount"_s)->text(), u"Total Assignments: 1"_s);
    QTest::mouseClick(filter, Qt::LeftButton);
    QCOMPARE(widget<QLabel>(m_tab.get(), u"assignmentCount"_s)->text(), u"Total Assignments: 2"_s);
}

void TestAssignmentsTab::controlsWaitWhileLoading()
{
    m_world->server().addAssignedIssue(item(1, u"One"_s, false));
    start();
    const QList<QWidget*> controls {widget(m_tab.get(), u"addAssignment"_s),
        widget(m_tab.get(), u"resyncAssignments"_s), widget(m_tab.get(), u"autoSyncAssignments"_s)};
    auto* card = widget(m_tab->table(), u"loadingCard"_s);
    for (QWidget* control : controls)
        QVERIFY(control->isEnabled());
    QVERIFY(!card->isVisible());

    m_world->server().injectFault(FaultTarget::prefix(u"/issues"_s), Fault::neverAnswer());
    m_viewModel->syncAssignments();
    for (QWidget* control : controls)
        QVERIFY(!control->isEnabled());
    QVERIFY(card->isVisible());
    QCOMPARE(card->accessibleName(), u"Syncing assignments..."_s);
    QVERIFY(widget(m_tab.get(), u"assignmentUrl"_s)->isEnabled());
    m_world->scheduler().advance(60s);
    QTRY_VERIFY(!m_viewModel->isLoading());
    for (QWidget* control : controls)
        QVERIFY(control->isEnabled());
    QVERIFY(!card->isVisible());
}

void TestAssignmentsTab::addingEmptiesTheFieldWhateverTheOutcome()
{
    start();
    auto* field = widget<QLineEdit>(m_tab.get(), u"assignmentUrl"_s);
    QCOMPARE(field->placeholderText(), u"Enter assignment URL"_s);
    QTest::mouseClick(widget<QPushButton>(m_tab.get(), u"addAssignment"_s), Qt::LeftButton);
    QCOMPARE(toast(), u"Invalid URL"_s);
    QCOMPARE(field->text(), QString());

    item(7, u"Added by address"_s, false);
    QTest::keyClicks(field, m_world->server().webBaseUrl().toString() + u"/"_s + kRepository + u"/issues/7"_s);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QString());
    QTRY_COMPARE(toast(), u"Assignment added successfully"_s);
    QCOMPARE(m_tab->model()->rowCount(), 1);
    QVERIFY(m_tab->model()->index(0, 0).data(FeedCells::IsNewRole).toBool());
}

void TestAssignmentsTab::pastingAnAddressFillsTheField()
{
    start();
    const QString address = m_world->server().webBaseUrl().toString() + u"/"_s + kRepository + u"/pull/9"_s;
    QApplication::clipboard()->setText(u"  "_s + address + u"\n"_s);
    m_tab->table()->setFocus();
    QTest::keyClick(m_tab->table(), Qt::Key_V, Qt::ControlModifier);
    auto* field = widget<QLineEdit>(m_tab.get(), u"assignmentUrl"_s);
    QCOMPARE(field->text(), address);
    QVERIFY(field->hasFocus());
}

// Closed, open, dragged 50 pixels and let go (it springs back), dragged 150 (it slides
// out and the area closes); on the area itself a drag up opens and a drag down closes.
void TestAssignmentsTab::bottomAreaOpensClosesAndFollowsDrags()
{
    start();
    BottomArea* area = m_tab->bottomArea();
    QCOMPARE(area->height(), BottomArea::closedHeight);
    QVERIFY(!area->panel());

    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(area->width() / 2, 20));
    QVERIFY(area->isOpen());
    m_world->scheduler().advance(kSlide);
    QCOMPARE(area->height(), BottomArea::openHeight);
    SlidingPanel* panel = area->panel();
    QCOMPARE(panel->offset(), 0);

    const auto drag = [&](int distance) {
        const QPoint start(panel->width() / 2, 10);
        QTest::mousePress(panel, Qt::LeftButton, {}, start);
        QTest::mouseMove(panel, start + QPoint(0, distance));
        const int offset = panel->offset();
        QTest::mouseRelease(panel, Qt::LeftButton, {}, start + QPoint(0, distance));
        return offset;
    };
    QCOMPARE(drag(50), 50);
    m_world->scheduler().advance(kSlide);
    QCOMPARE(panel->offset(), 0);
    QVERIFY(area->isOpen());

    QCOMPARE(drag(150), 150);
    m_world->scheduler().advance(kSlide);
    QVERIFY(!area->isOpen());
    m_world->scheduler().advance(kSlide);
    QCOMPARE(area->height(), BottomArea::closedHeight);

    const auto dragArea = [&](int distance) {
        const QPoint start(area->width() / 2, 20);
        QTest::mousePress(area, Qt::LeftButton, {}, start);
        QTest::mouseMove(area, start + QPoint(0, distance));
        QTest::mouseRelease(area, Qt::LeftButton, {}, start + QPoint(0, distance));
        m_world->scheduler().advance(kSlide);
    };
    dragArea(-30);
    QVERIFY(area->isOpen());
    dragArea(30);
    QVERIFY(!area->isOpen());
}

QTEST_MAIN(TestAssignmentsTab)
#include "tst_assignmentstab.moc"

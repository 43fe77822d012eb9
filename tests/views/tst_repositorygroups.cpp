#include "BrowserCapture.h"
#include "FeedSteps.h"
#include "GitHubTestEnvironment.h"
#include "Wait.h"
#include "Widgets.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"
#include "views/FeedCells.h"
#include "views/FeedTableView.h"
#include "views/NotificationListModel.h"
#include "views/NotificationsTab.h"
#include "views/RepositoryGroupModel.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString kToken = u"ghp_repositoryGroups"_s;
const QString kOcto = u"octo-org/octo-repo"_s;
const QString kShellfish = u"marrowfen/shellfish"_s;
const QString kHello = u"octocat/Hello-World"_s;

// Records "r0", "r1"… of the repositories given, in that order.
std::unique_ptr<QStandardItemModel> recordsOf(const QStringList& repositories)
{
    auto records = std::make_unique<QStandardItemModel>(0, 2);
    for (int row = 0; row < repositories.size(); ++row)
        records->appendRow({new QStandardItem(u"r%1"_s.arg(row)), new QStandardItem(repositories[row])});
    return records;
}

// The rows as shown: a header as its text, a record as its first cell.
QStringList shownRows(const QAbstractItemModel& model)
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows << model.index(row, 0).data().toString();
    return rows;
}

int rowShowing(const QAbstractItemModel& model, const QString& text)
{
    return static_cast<int>(shownRows(model).indexOf(text));
}

QString minutesAgo(int minutes)
{
    return VirtualScheduler::defaultStart().addSecs(-60 * minutes).toString(Qt::ISODate);
}

} // namespace

// Records grouped under their repositories: the rows the grouping model shows over any
// list of records, and the Notifications tab's table grouped, over a real controller and
// the fake GitHub — its keyboard, its mouse, and headers that are never records.
class TestRepositoryGroups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void groupsFollowTheOrderOfTheRecords_data();
    void groupsFollowTheOrderOfTheRecords();
    void persistentIndexesFollowTheirPlaces_data();
    void persistentIndexesFollowTheirPlaces();
    void aChangedRecordRepaintsItsShownRow();
    void groupsFollowTheFilterAndCountItsRows();
    void keyboardMovesAsInATree_data();
    void keyboardMovesAsInATree();
    void aClickOnAHeaderTogglesItAndOpensNothing();
    void actionsOnTheSelectionTakeRecordsOnly();
    void aSyncWhileGroupedKeepsTheCurrentRowAndTheSelection();

private:
    void addIssue(const QString& id, const QString& repository, const QString& title, int minutes);
    // Five threads in three repositories, newest first: 1 octo, 2 shellfish, 3 octo,
    // 4 shellfish, 5 hello; the tab's table grouped.
    void startGrouped();
    FeedTableView* table() const { return m_tab->table(); }
    // The rows of the tab's table: a header as its text, a thread as its id.
    QStringList tableRows() const;
    // The row of the thread `id`, or of the header whose text it is.
    int rowOf(const QString& idOrHeader) const;
    QString currentRow() const;
    QStringList selectedIds() const;

    std::unique_ptr<GitHubTestEnvironment> m_world;
    std::unique_ptr<AccountSessions> m_sessions;
    NotificationsViewModel* m_viewModel = nullptr;
    std::unique_ptr<NotificationsTab> m_tab;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::unique_ptr<BrowserCapture> m_browser;
};

void TestRepositoryGroups::init()
{
    m_world = std::make_unique<GitHubTestEnvironment>();
    m_world->signIn(kToken);
    m_browser = std::make_unique<BrowserCapture>();
}

void TestRepositoryGroups::cleanup()
{
    m_browser.reset();
    m_tester.reset();
    m_tab.reset();
    m_sessions.reset();
    m_viewModel = nullptr;
    m_world.reset();
}

void TestRepositoryGroups::groupsFollowTheOrderOfTheRecords_data()
{
    QTest::addColumn<QStringList>("repositories"); // of the records, in their order
    QTest::addColumn<QStringList>("collapsed");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("no records") << QStringList() << QStringList() << QStringList();
    QTest::newRow("one repository") << QStringList {u"a"_s, u"a"_s} << QStringList()
                                    << QStringList {u"a (2)"_s, u"r0"_s, u"r1"_s};
    QTest::newRow("groups in the order of their first record")
        << QStringList {u"b"_s, u"a"_s, u"b"_s, u"c"_s, u"a"_s} << QStringList()
        << QStringList {u"b (2)"_s, u"r0"_s, u"r2"_s, u"a (2)"_s, u"r1"_s, u"r4"_s, u"c (1)"_s, u"r3"_s};
    QTest::newRow("a collapsed group shows its header only") << QStringList {u"b"_s, u"a"_s, u"b"_s, u"c"_s,
        u"a"_s} << QStringList {u"a"_s} << QStringList {u"b (2)"_s, u"r0"_s, u"r2"_s, u"a (2)"_s, u"c (1)"_s, u"r3"_s};
    QTest::newRow("every group collapsed")
        << QStringList {u"b"_s, u"a"_s, u"b"_s, u"c"_s, u"a"_s} << QStringList {u"a"_s, u"b"_s, u"c"_s}
        << QStringList {u"b (2)"_s, u"a (2)"_s, u"c (1)"_s};
}

void TestRepositoryGroups::groupsFollowTheOrderOfTheRecords()
{
    QFETCH(QStringList, repositories);
    QFETCH(QStringList, collapsed);
    QFETCH(QStringList, rows);
    const auto records = recordsOf(repositories);
    RepositoryGroupModel groups(1);
    QAbstractItemModelTester tester(&groups, QAbstractItemModelTester::FailureReportingMode::QtTest);
    groups.setSourceModel(records.get());
    groups.setGrouped(true);
    for (int row = 0; row < groups.rowCount(); ++row) {
        const auto header = groups.index(row, 0).data(FeedCells::GroupHeaderRole).value<FeedCells::GroupHeader>();
        if (groups.isHeader(row) && collapsed.contains(header.repository))
            groups.setExpanded(row, false);
    }
    QCOMPARE(shownRows(groups), rows);
    for (int row = 0; row < groups.rowCount(); ++row) {
        const QModelIndex index = groups.index(row, 0);
        const bool header = rows[row].contains(u'(');
        QCOMPARE(groups.isHeader(row), header);
        QCOMPARE(bool(groups.flags(index) & Qt::ItemIsSelectable), !header);
        QCOMPARE(groups.mapToSource(index).isValid(), !header);
        if (!header)
            QCOMPARE(groups.mapFromSource(groups.mapToSource(index)), index);
        QVERIFY(groups.isHeader(groups.headerOf(row)));
    }
    groups.setGrouped(false);
    QStringList ungrouped;
    for (int row = 0; row < repositories.size(); ++row)
        ungrouped << u"r%1"_s.arg(row);
    QCOMPARE(shownRows(groups), ungrouped);
}

void TestRepositoryGroups::persistentIndexesFollowTheirPlaces_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("record"); // where an index on r2 is then; empty: gone
    QTest::addColumn<QString>("header"); // where an index on b's header is then; empty: gone

    // Records r0 b, r1 a, r2 b, r3 c, r4 a.
    QTest::newRow("a record of a new repository arrives first")
        << u"arrive"_s
        << QStringList {u"d (1)"_s, u"r5"_s, u"b (2)"_s, u"r0"_s, u"r2"_s, u"a (2)"_s, u"r1"_s, u"r4"_s, u"c (1)"_s,
               u"r3"_s}
        << u"r2"_s << u"b (2)"_s;
    QTest::newRow("the records are sorted anew")
        << u"sort"_s << QStringList {u"a (2)"_s, u"r4"_s, u"r1"_s, u"c (1)"_s, u"r3"_s, u"b (2)"_s, u"r2"_s, u"r0"_s}
        << u"r2"_s << u"b (2)"_s;
    QTest::newRow("another record of its group leaves")
        << u"leave r0"_s << QStringList {u"a (2)"_s, u"r1"_s, u"r4"_s, u"b (1)"_s, u"r2"_s, u"c (1)"_s, u"r3"_s}
        << u"r2"_s << u"b (1)"_s;
    QTest::newRow("the record leaves") << u"leave r2"_s
                                       << QStringList {u"b (1)"_s, u"r0"_s, u"a (2)"_s, u"r1"_s, u"r4"_s, u"c (1)"_s,
                                              u"r3"_s}
                                       << QString() << u"b (1)"_s;
    QTest::newRow("its whole group leaves")
        << u"leave b"_s << QStringList {u"a (2)"_s, u"r1"_s, u"r4"_s, u"c (1)"_s, u"r3"_s} << QString() << QString();
    QTest::newRow("its group collapses") << u"collapse"_s
                                         << QStringList {u"b (2)"_s, u"a (2)"_s, u"r1"_s, u"r4"_s, u"c (1)"_s, u"r3"_s}
                                         << QString() << u"b (2)"_s;
    // The header's place goes to its group's first record.
    QTest::newRow("grouping ends") << u"ungroup"_s << QStringList {u"r0"_s, u"r1"_s, u"r2"_s, u"r3"_s, u"r4"_s}
                                   << u"r2"_s << u"r0"_s;
}

void TestRepositoryGroups::persistentIndexesFollowTheirPlaces()
{
    QFETCH(QString, change);
    QFETCH(QStringList, rows);
    QFETCH(QString, record);
    QFETCH(QString, header);
    const auto records = recordsOf({u"b"_s, u"a"_s, u"b"_s, u"c"_s, u"a"_s});
    // No model tester here: it holds indexes on every row while the rows change, and a
    // header's place goes to its group's first record only when no other index holds it.
    RepositoryGroupModel groups(1);
    groups.setSourceModel(records.get());
    groups.setGrouped(true);
    const QPersistentModelIndex onRecord = groups.index(rowShowing(groups, u"r2"_s), 0);
    const QPersistentModelIndex onHeader = groups.index(rowShowing(groups, u"b (2)"_s), 0);
    QSignalSpy resets(&groups, &QAbstractItemModel::modelReset);

    if (change == u"arrive") {
        records->insertRow(0, {new QStandardItem(u"r5"_s), new QStandardItem(u"d"_s)});
    } else if (change == u"sort") {
        records->sort(0, Qt::DescendingOrder);
    } else if (change == u"leave r0") {
        records->removeRow(0);
    } else if (change == u"leave r2") {
        records->removeRow(2);
    } else if (change == u"leave b") {
        records->removeRow(2);
        records->removeRow(0);
    } else if (change == u"collapse") {
        groups.setExpanded(onHeader.row(), false);
    } else if (change == u"ungroup") {
        groups.setGrouped(false);
    }
    QCOMPARE(shownRows(groups), rows);
    QCOMPARE(onRecord.data().toString(), record);
    QCOMPARE(onHeader.data().toString(), header);
    QCOMPARE(resets.count(), 0);
}

// A status answer for one record repaints the one row that shows it.
void TestRepositoryGroups::aChangedRecordRepaintsItsShownRow()
{
    const auto records = recordsOf({u"b"_s, u"a"_s, u"b"_s});
    RepositoryGroupModel groups(1);
    groups.setSourceModel(records.get());
    groups.setGrouped(true);
    QSignalSpy changed(&groups, &QAbstractItemModel::dataChanged);
    records->item(2, 0)->setText(u"r2 changed"_s);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex(), groups.index(2, 0));
    QCOMPARE(changed.first().at(1).toModelIndex(), groups.index(2, 0));
}

void TestRepositoryGroups::addIssue(const QString& id, const QString& repository, const QString& title, int minutes)
{
    FakeGitHub& server = m_world->server();
    const GitHubPayloads payloads = server.payloads();
    const int number = id.toInt();
    server.addNotification(payloads.thread(
        {.id = id, .repository = repository, .number = number, .title = title, .updatedAt = minutesAgo(minutes)}));
    server.setResource(u"/repos/"_s + repository + u"/issues/"_s + QString::number(number),
        payloads.issue({.repository = repository, .number = number, .title = title}));
}

void TestRepositoryGroups::startGrouped()
{
    addIssue(u"1"_s, kOcto, u"Crash on start"_s, 10);
    addIssue(u"2"_s, kShellfish, u"Crash in sync"_s, 20);
    addIssue(u"3"_s, kOcto, u"Docs"_s, 30);
    addIssue(u"4"_s, kShellfish, u"Crash on exit"_s, 40);
    addIssue(u"5"_s, kHello, u"Typo"_s, 50);
    m_sessions = std::make_unique<AccountSessions>(m_world->environment(), FeedController::StartUp::Now);
    m_viewModel = &m_sessions->first().notifications();
    m_tab = std::make_unique<NotificationsTab>(*m_sessions);
    m_tester = std::make_unique<QAbstractItemModelTester>(
        table()->groups(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_tab->resize(1200, 600);
    m_tab->show();
    QVERIFY(FeedSteps::waitForSync(*m_viewModel) == SyncOutcome::Succeeded);
    QVERIFY(FeedSteps::runStatusRefresh(m_world->scheduler(), *m_viewModel));
    m_world->scheduler().advance(3s);
    QSignalSpy switched(table(), &FeedTableView::groupedByRepositoryChanged);
    table()->setGroupedByRepository(true);
    QCOMPARE(switched.count(), 1);
    table()->setFocus();
}

QStringList TestRepositoryGroups::tableRows() const
{
    QStringList rows;
    const QAbstractItemModel& model = *table()->model();
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row, 0);
        rows << (table()->recordRow(index) >= 0 ? index.data(FeedCells::RecordIdRole).toString()
                                                : index.data().toString());
    }
    return rows;
}

int TestRepositoryGroups::rowOf(const QString& idOrHeader) const
{
    return static_cast<int>(tableRows().indexOf(idOrHeader));
}

QString TestRepositoryGroups::currentRow() const
{
    const int row = table()->currentIndex().row();
    return row < 0 ? QString() : tableRows().at(row);
}

QStringList TestRepositoryGroups::selectedIds() const
{
    QStringList ids;
    for (int row : table()->selectedRowNumbers())
        ids << m_tab->model()->index(row, 0).data(FeedCells::RecordIdRole).toString();
    return ids;
}

// The list is filtered first: a header counts the rows that pass, and a repository with
// none has no header. The count of the tab counts threads only.
void TestRepositoryGroups::groupsFollowTheFilterAndCountItsRows()
{
    startGrouped();
    QCOMPARE(tableRows(),
        (QStringList {u"octo-org/octo-repo (2)"_s, u"1"_s, u"3"_s, u"marrowfen/shellfish (2)"_s, u"2"_s, u"4"_s,
            u"octocat/Hello-World (1)"_s, u"5"_s}));
    const QAbstractItemModel& rows = *table()->model();
    QCOMPARE(rows.index(0, 0).data(Qt::AccessibleTextRole).toString(), u"octo-org/octo-repo, 2 rows, expanded"_s);
    QCOMPARE(rows.index(rowOf(u"octocat/Hello-World (1)"_s), 0).data(Qt::AccessibleTextRole).toString(),
        u"octocat/Hello-World, 1 row, expanded"_s);
    auto* count = widget<QLabel>(m_tab.get(), u"notificationCount"_s);
    QCOMPARE(count->text(), u"Total Notifications: 5"_s);

    QTest::keyClicks(widget<QLineEdit>(m_tab.get(), u"filterField"_s), u"crash"_s);
    QCOMPARE(
        tableRows(), (QStringList {u"octo-org/octo-repo (1)"_s, u"1"_s, u"marrowfen/shellfish (2)"_s, u"2"_s, u"4"_s}));
    QCOMPARE(count->text(), u"Total Notifications: 3"_s);

    table()->setGroupedByRepository(false);
    QCOMPARE(tableRows(), (QStringList {u"1"_s, u"2"_s, u"4"_s}));
}

void TestRepositoryGroups::keyboardMovesAsInATree_data()
{
    QTest::addColumn<QString>("start"); // the current row
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("collapsed");

    const QString octo = u"octo-org/octo-repo (2)"_s;
    const QString shellfish = u"marrowfen/shellfish (2)"_s;
    using Keys = QList<int>;
    QTest::newRow("Left on a row goes to its header") << u"3"_s << Keys {Qt::Key_Left} << octo << QStringList();
    QTest::newRow("Left on an expanded header collapses it")
        << u"3"_s << Keys {Qt::Key_Left, Qt::Key_Left} << octo << QStringList {kOcto};
    QTest::newRow("Left on a collapsed header stays")
        << u"3"_s << Keys {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left} << octo << QStringList {kOcto};
    QTest::newRow("Right on a collapsed header expands it")
        << u"3"_s << Keys {Qt::Key_Left, Qt::Key_Left, Qt::Key_Right} << octo << QStringList();
    QTest::newRow("Right on an expanded header goes to its first row")
        << u"3"_s << Keys {Qt::Key_Left, Qt::Key_Right} << u"1"_s << QStringList();
    QTest::newRow("Return on a header collapses it")
        << u"3"_s << Keys {Qt::Key_Left, Qt::Key_Return} << octo << QStringList {kOcto};
    QTest::newRow("Return again expands it")
        << u"3"_s << Keys {Qt::Key_Left, Qt::Key_Return, Qt::Key_Return} << octo << QStringList();
    QTest::newRow("Space on a header toggles it")
        << shellfish << Keys {Qt::Key_Space} << shellfish << QStringList {kShellfish};
    QTest::newRow("Down from a header goes to its first row")
        << shellfish << Keys {Qt::Key_Down} << u"2"_s << QStringList();
    QTest::newRow("Up from a first row goes to its header")
        << u"2"_s << Keys {Qt::Key_Up} << shellfish << QStringList();
    QTest::newRow("Up from a header goes to the last row above")
        << shellfish << Keys {Qt::Key_Up} << u"3"_s << QStringList();
    QTest::newRow("Down from a collapsed header goes to the next header")
        << u"3"_s << Keys {Qt::Key_Left, Qt::Key_Left, Qt::Key_Down} << shellfish << QStringList {kOcto};
}

void TestRepositoryGroups::keyboardMovesAsInATree()
{
    QFETCH(QString, start);
    QFETCH(QList<int>, keys);
    QFETCH(QString, current);
    QFETCH(QStringList, collapsed);
    startGrouped();
    table()->setCurrentIndex(table()->model()->index(rowOf(start), 1));
    for (int key : keys)
        QTest::keyClick(table(), Qt::Key(key));
    QCOMPARE(currentRow(), current);
    QStringList shownCollapsed;
    for (int row = 0; row < table()->model()->rowCount(); ++row) {
        if (table()->groups()->isHeader(row) && !table()->groups()->isExpanded(row))
            shownCollapsed << table()
                                  ->model()
                                  ->index(row, 0)
                                  .data(FeedCells::GroupHeaderRole)
                                  .value<FeedCells::GroupHeader>()
                                  .repository;
    }
    QCOMPARE(shownCollapsed, collapsed);
    // A header is current without being a selection; a record is both.
    QCOMPARE(selectedIds(), current.contains(u'(') ? QStringList() : QStringList {current});
    QVERIFY(m_browser->opened.isEmpty());
}

void TestRepositoryGroups::aClickOnAHeaderTogglesItAndOpensNothing()
{
    startGrouped();
    const auto headerPoint = [&](const QString& header) {
        return table()
            ->visualRect(table()->model()->index(rowOf(header), NotificationListModel::StatusColumn))
            .center();
    };
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, headerPoint(u"octo-org/octo-repo (2)"_s));
    QCOMPARE(tableRows(),
        (QStringList {u"octo-org/octo-repo (2)"_s, u"marrowfen/shellfish (2)"_s, u"2"_s, u"4"_s,
            u"octocat/Hello-World (1)"_s, u"5"_s}));
    QCOMPARE(currentRow(), u"octo-org/octo-repo (2)"_s);
    QCOMPARE(table()->model()->index(0, 0).data(Qt::AccessibleTextRole).toString(),
        u"octo-org/octo-repo, 2 rows, collapsed"_s);
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, headerPoint(u"octo-org/octo-repo (2)"_s));
    QCOMPARE(rowOf(u"3"_s), 2);
    // Each press of a double click toggles, as the window system sends them; nothing opens.
    const QPoint shellfish = headerPoint(u"marrowfen/shellfish (2)"_s);
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, shellfish);
    QTest::mousePress(table()->viewport(), Qt::LeftButton, {}, shellfish);
    QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, shellfish);
    QTest::mouseRelease(table()->viewport(), Qt::LeftButton, {}, shellfish);
    QCOMPARE(rowOf(u"4"_s), rowOf(u"marrowfen/shellfish (2)"_s) + 2);
    QVERIFY(m_browser->opened.isEmpty());

    // A header has no menu.
    Q_EMIT table()->customContextMenuRequested(headerPoint(u"octocat/Hello-World (1)"_s));
    QVERIFY(!widget<QMenu>(table(), u"rowMenu"_s)->isVisible());
    // Neither has the current header from the keyboard.
    table()->setCurrentIndex(table()->model()->index(0, 1));
    Q_EMIT table()->customContextMenuRequested(QPoint(-1, -1));
    QVERIFY(!widget<QMenu>(table(), u"rowMenu"_s)->isVisible());

    // When grouping ends, a current header hands over to its group's first thread, even
    // from a collapsed group.
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, headerPoint(u"octocat/Hello-World (1)"_s));
    QCOMPARE(rowOf(u"5"_s), -1);
    table()->setGroupedByRepository(false);
    QCOMPARE(currentRow(), u"5"_s);
    QCOMPARE(selectedIds(), QStringList {u"5"_s});
}

void TestRepositoryGroups::actionsOnTheSelectionTakeRecordsOnly()
{
    startGrouped();
    auto* bar = widget(m_tab.get(), u"notificationsTableSelectionBar"_s);
    auto* count = widget<QLabel>(bar, u"selectionCount"_s);
    const auto rowCentre = [&](const QString& id) {
        return table()
            ->visualRect(table()->model()->index(rowOf(id), NotificationListModel::RepositoryColumn))
            .center();
    };
    // From a thread of the first group to one of the second, over the header between.
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, rowCentre(u"1"_s));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(u"4"_s));
    QCOMPARE(selectedIds(), (QStringList {u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    QCOMPARE(count->text(), u"4 selected"_s);

    QTest::keyClick(table(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(selectedIds(), (QStringList {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));
    QCOMPARE(count->text(), u"5 selected"_s);
    QTest::mouseClick(widget<QPushButton>(bar, u"starSelection"_s), Qt::LeftButton);
    QCOMPARE(m_viewModel->favorites().size(), 5);

    // The shortcut on a selection whose current row is a header marks the records only.
    table()->selectionModel()->setCurrentIndex(table()->model()->index(0, 1), QItemSelectionModel::NoUpdate);
    table()->setFocus();
    m_world->server().clearRequests();
    QTest::keyClick(table(), Qt::Key_E);
    QVERIFY(waitUntil([&] { return m_tab->model()->rowCount() == 0; }));
    QCOMPARE(m_world->server().requests().size(), 5);
    QCOMPARE(tableRows(), QStringList());
}

// A sync while grouped moves the rows and the groups, and a new repository's group
// arrives; the current thread and the selection stay, and so they do when grouping ends.
void TestRepositoryGroups::aSyncWhileGroupedKeepsTheCurrentRowAndTheSelection()
{
    startGrouped();
    const auto rowCentre = [&](const QString& id) {
        return table()->visualRect(table()->model()->index(rowOf(id), NotificationListModel::TitleColumn)).center();
    };
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, rowCentre(u"3"_s));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(u"4"_s));
    QCOMPARE(selectedIds(), (QStringList {u"3"_s, u"4"_s}));

    addIssue(u"6"_s, u"newcomer/tools"_s, u"Newer"_s, -1);
    addIssue(u"7"_s, kShellfish, u"Newest"_s, -2);
    m_world->scheduler().advance(60s);
    m_viewModel->syncNotifications();
    QVERIFY(FeedSteps::waitForSync(*m_viewModel));
    QCOMPARE(tableRows(),
        (QStringList {u"marrowfen/shellfish (3)"_s, u"7"_s, u"2"_s, u"4"_s, u"newcomer/tools (1)"_s, u"6"_s,
            u"octo-org/octo-repo (2)"_s, u"1"_s, u"3"_s, u"octocat/Hello-World (1)"_s, u"5"_s}));
    QCOMPARE(currentRow(), u"4"_s);
    QCOMPARE(selectedIds(), (QStringList {u"3"_s, u"4"_s}));

    table()->setGroupedByRepository(false);
    QCOMPARE(tableRows(), (QStringList {u"7"_s, u"6"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));
    QCOMPARE(currentRow(), u"4"_s);
    QCOMPARE(selectedIds(), (QStringList {u"3"_s, u"4"_s}));
    table()->setGroupedByRepository(true);
    QCOMPARE(currentRow(), u"4"_s);
    QCOMPARE(selectedIds(), (QStringList {u"3"_s, u"4"_s}));
}

QTEST_MAIN(TestRepositoryGroups)
#include "tst_repositorygroups.moc"

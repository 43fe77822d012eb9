// The feed tables with a heavy user's lists: 10,000 notification threads (200 pull
// requests) and 2,000 assignments. Each step is the user's action, the model's update and
// one paint of the visible rows, timed as the median of many. Targets: a filter
// keystroke, plain or with qualifiers, at most 16 ms; a status update of every
// pull-request row repaints rows and never resets the model; painting one screen of 40
// rows at most 4 ms; switching the grouping by repository on or off at most 50 ms; switching the assignments'
// favourites filter and archiving one row at most 16 ms each.

#include "BenchData.h"
#include "BenchEnvironment.h"
#include "LargeAccount.h"
#include "assignments/AssignmentsViewModel.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "views/AssignmentListModel.h"
#include "views/AssignmentsTab.h"
#include "views/FeedTableView.h"
#include "views/NotificationListModel.h"
#include "views/NotificationsTab.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSignalSpy>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kVisibleRows = 40;

// The median milliseconds of `steps` runs of `step`, each followed by a paint of `table`.
double timed(int steps, FeedTableView* table, const std::function<void(int)>& step)
{
    QList<double> times;
    for (int i = 0; i < steps; ++i) {
        QElapsedTimer timer;
        timer.start();
        step(i);
        table->viewport()->repaint();
        times << static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    return BenchData::median(times);
}

void report(const char* what, double milliseconds, double target)
{
    std::printf(
        "  %-58s %6.2f ms (target <= %.0f)  %s\n", what, milliseconds, target, milliseconds <= target ? "ok" : "OVER");
}

// Shows `widget` with room for 40 rows in `table`, and paints it once.
void showWithFortyRows(QWidget* widget, FeedTableView* table)
{
    widget->resize(1240, 800);
    widget->show();
    QCoreApplication::processEvents();
    const int extra = kVisibleRows * table->rowHeight(0) - table->viewport()->height();
    widget->resize(1240, 800 + extra);
    QCoreApplication::processEvents();
    table->viewport()->repaint();
}

void notifications(const Environment& environment)
{
    PersistenceService(environment).save(LargeAccount::threads(), PreferenceKeys::notificationsCacheKey);
    AccountSessions sessions(environment, FeedController::StartUp::Now);
    NotificationsViewModel* viewModel = &sessions.first().notifications();
    NotificationsTab tab(sessions);
    FeedTableView* table = tab.table();
    showWithFortyRows(&tab, table);

    const QString typed = QStringLiteral("Thread 12");
    const double keystroke = timed(2 * typed.size(), table, [&](int i) {
        const int length = i < typed.size() ? i + 1 : 2 * typed.size() - i - 1;
        viewModel->setTextFilter(typed.left(length));
    });

    // The same typing with qualifiers: each keystroke parses the query once, then
    // matches every thread.
    const QString query = QStringLiteral("is:pr ci:failed repo:x/y word");
    const double queryKeystroke = timed(2 * query.size(), table, [&](int i) {
        const int length = i < query.size() ? i + 1 : 2 * query.size() - i - 1;
        viewModel->setTextFilter(query.left(length));
    });

    QSignalSpy resets(tab.model(), &QAbstractItemModel::modelReset);
    QSignalSpy layouts(tab.model(), &QAbstractItemModel::layoutChanged);
    QSignalSpy rows(tab.model(), &QAbstractItemModel::dataChanged);
    QElapsedTimer statusTimer;
    statusTimer.start();
    int pullRequests = 0;
    // As the status refresh reports them: one record at a time.
    for (const NotificationPtr& notification : viewModel->notifications()) {
        if (notification->subject().type() == u"PullRequest") {
            Q_EMIT viewModel->notificationChanged(notification->id());
            ++pullRequests;
        }
    }
    table->viewport()->repaint();
    const double statusUpdate = static_cast<double>(statusTimer.nsecsElapsed()) / 1e6;

    const int pages = qMin(50, tab.model()->rowCount() / kVisibleRows);
    const double screen = timed(pages, table,
        [&](int page) { table->verticalScrollBar()->setValue(page * kVisibleRows * table->rowHeight(0)); });

    // On and off in turn, from the top of the list.
    table->verticalScrollBar()->setValue(0);
    const double grouping
        = timed(20, table, [&](int) { table->setGroupedByRepository(!table->isGroupedByRepository()); });
    table->setGroupedByRepository(false);

    std::printf("Notifications tab, %d threads\n", tab.model()->rowCount());
    report("filter keystroke (filter, model, paint)", keystroke, 16);
    report("query keystroke, \"is:pr ci:failed repo:x/y word\"", queryKeystroke, 16);
    std::printf("  status update of %d pull-request rows: %d row repaints, %d resets, %d layout changes, %.1f ms "
                "with one paint  %s\n",
        pullRequests, static_cast<int>(rows.size()), static_cast<int>(resets.size()), static_cast<int>(layouts.size()),
        statusUpdate, resets.isEmpty() && layouts.isEmpty() ? "ok" : "OVER");
    report("painting one screen of 40 rows", screen, 4);
    report("grouping by repository switched (model, paint)", grouping, 50);
}

void assignments(const Environment& environment)
{
    const QList<IssuePtr> issues = LargeAccount::issues();
    QList<IssuePtr> starred;
    for (int i = 0; i < issues.size(); i += 10)
        starred << issues[i];
    PersistenceService persistence(environment);
    persistence.save(issues, PreferenceKeys::issuesCacheKey);
    persistence.save(starred, PreferenceKeys::issueFavoritesKey);
    AccountSessions sessions(environment, FeedController::StartUp::Now);
    AssignmentsViewModel* viewModel = &sessions.first().assignments();
    AssignmentsTab tab(sessions);
    FeedTableView* table = tab.table();
    showWithFortyRows(&tab, table);

    const double filter
        = timed(20, table, [&](int) { viewModel->setShowOnlyFavorites(!viewModel->showOnlyFavorites()); });
    viewModel->setShowOnlyFavorites(false);
    QList<double> archiveTimes;
    for (int i = 0; i < 20; ++i) {
        const IssuePtr issue = tab.model()->issueAt(1);
        QElapsedTimer timer;
        timer.start();
        viewModel->archiveIssue(issue);
        table->viewport()->repaint();
        archiveTimes << static_cast<double>(timer.nsecsElapsed()) / 1e6;
        viewModel->unarchiveIssue(issue);
    }

    std::printf("Assignments tab, %lld assignments (%lld starred)\n", static_cast<long long>(issues.size()),
        static_cast<long long>(starred.size()));
    report("favourites filter switched (model, paint)", filter, 16);
    report("one row archived (model, paint)", BenchData::median(archiveTimes), 16);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    {
        BenchEnvironment world;
        notifications(world.environment());
    }
    {
        BenchEnvironment world;
        assignments(world.environment());
    }
    return 0;
}

// The window's start-up with a heavy user's caches (10,000 threads, 2,000 assignments)
// against the same with empty caches: time from the start of the process's work to the
// first paint of the notifications table, and peak resident memory. Each start runs in a
// process of its own. Targets: at most 1.5 times the empty start's time, and at most
// 40 MB more memory. The window paints before the caches are read; the cached rows are
// on screen at most 100 ms after the start and at most 2.5 times the empty start's
// time. The same caches without their snapshot, read from the preference file's text
// as an earlier version wrote them, are shown beside.
//
// Two such accounts (the second on an Enterprise-style "/api/v3" base) in one window:
// first paint at most 1.5 times the empty start's, peak resident memory at most 140 MB,
// and a filter keystroke over their 20,000 merged rows at most 16 ms.

#include "AppEnvironment.h"
#include "BenchData.h"
#include "LargeAccount.h"
#include "TidewhelkApp.h"
#include "desktop/AccountSessions.h"
#include "notifications/NotificationsViewModel.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceSnapshot.h"
#include "storage/SecureStorage.h"
#include "views/FeedTableView.h"
#include "views/MainWindow.h"
#include "views/NotificationListModel.h"
#include "views/NotificationsTab.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr int kRuns = 7;
constexpr double kAllowedRatio = 1.5;
constexpr double kAllowedRowsRatio = 2.5;
constexpr double kAllowedRowsMs = 100;
constexpr long kAllowedExtraKiB = 40 * 1024;
constexpr long kAllowedTwoAccountsKiB = 140 * 1024;
constexpr double kAllowedKeystrokeMs = 16;
constexpr auto kResultMark = "first-paint:";

// Tells when a table is first painted, and first painted with rows.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QAbstractItemView* table)
        : m_table(table)
    {
        m_clock.start();
        table->viewport()->installEventFilter(this);
    }
    // Milliseconds since the watch began; negative until then.
    double painted = -1;
    double paintedRows = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        const double now = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
        if (painted < 0)
            painted = now;
        if (paintedRows < 0 && m_table->model()->rowCount() > 0)
            paintedRows = now;
        return false;
    }

private:
    QAbstractItemView* m_table;
    QElapsedTimer m_clock;
};

AppEnvironment::Setup setupIn(const QString& directory)
{
    AppEnvironment::Setup setup;
    setup.preferencesFile = directory + QStringLiteral("/tidewhelk.ini");
    setup.httpCacheDirectory = directory + QStringLiteral("/http");
    // Nothing listens there: the syncs fail at once, as when the network is down.
    setup.endpoints = GitHubEndpoints(QStringLiteral("http://127.0.0.1:9"), QStringLiteral("http://127.0.0.1:9"));
    setup.inMemorySecrets = true;
    return setup;
}

// The further account of the two-account starts: nothing listens there either.
GitHubEndpoints secondServer()
{
    return GitHubEndpoints(QStringLiteral("http://127.0.0.1:9/api/v3"), QStringLiteral("http://127.0.0.1:9"));
}

void writeCaches(const QString& directory, bool twoAccounts = false)
{
    AppEnvironment services(setupIn(directory));
    QList<Environment> environments {services.environment()};
    if (twoAccounts)
        environments << services.environmentOf(services.accounts().add(QStringLiteral("mona"), secondServer()));
    for (const Environment& environment : environments) {
        PersistenceService persistence(environment);
        persistence.save(LargeAccount::threads(), PreferenceKeys::notificationsCacheKey);
        persistence.save(LargeAccount::issues(), PreferenceKeys::issuesCacheKey);
    }
}

// The median milliseconds of typing "Thread 12" into the filter and deleting it again,
// each keystroke applied to every account's feed in one batch of the tab's rows, as the
// tab does, and painted.
double filterKeystroke(AccountSessions& sessions, NotificationsTab* tab)
{
    FeedTableView* table = tab->table();
    const QString typed = QStringLiteral("Thread 12");
    QList<double> times;
    for (int i = 0; i < 2 * typed.size(); ++i) {
        const int length = i < typed.size() ? i + 1 : 2 * typed.size() - i - 1;
        QElapsedTimer timer;
        timer.start();
        {
            const AccountTableModel::Batch batch(*tab->model());
            for (AccountSession* session : sessions.sessions())
                session->notifications().setTextFilter(typed.left(length));
        }
        table->viewport()->repaint();
        times << static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    return BenchData::median(times);
}

// One start in this process: prints the milliseconds to the first paint of the
// notifications table and the peak resident memory, then with several accounts the
// filter keystroke.
int start(int argc, char* argv[], const QString& directory, bool rows)
{
    QElapsedTimer timer;
    timer.start();
    QApplication application(argc, argv);
    AppEnvironment services(setupIn(directory));
    for (const Account& account : services.accounts().accounts()) {
        services.environmentOf(account).secrets->set(
            QStringLiteral("bench-token"), QLatin1String(SecureStorage::kTokenKey), QStringLiteral("bench"));
    }
    TidewhelkApp app(services.environment(), {}, &services);
    const double before = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    FirstPaint firstPaint(app.window().findChild<FeedTableView*>(QStringLiteral("notificationsTable")));
    app.show();
    while ((firstPaint.painted < 0 || (rows && firstPaint.paintedRows < 0)) && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (firstPaint.painted < 0 || (rows && firstPaint.paintedRows < 0))
        return 1;
    const long peak = LargeAccount::peakResidentKiB();
    AccountSessions& sessions = app.sessions();
    double keystroke = 0;
    if (sessions.hasSeveral()) {
        auto* table = app.window().findChild<FeedTableView*>(QStringLiteral("notificationsTable"));
        const qsizetype merged = 2 * LargeAccount::threads().size();
        while (table->model()->rowCount() < merged && timer.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        keystroke = filterKeystroke(sessions, app.window().findChild<NotificationsTab*>());
    }
    // The application's own console lines share standard output.
    std::printf("%s %.2f %.2f %ld %.2f\n", kResultMark, before + firstPaint.painted, before + firstPaint.paintedRows,
        peak, keystroke);
    return 0;
}

struct Start
{
    double milliseconds = 0;
    double rowsMilliseconds = 0;
    long kib = 0;
    double keystrokeMilliseconds = 0;
};

// One start in a process of its own; none when it failed.
std::optional<Start> startOnce(const QString& program, const QString& directory, bool rows)
{
    QProcess child;
    child.start(program, {rows ? QStringLiteral("--start-rows") : QStringLiteral("--start"), directory});
    child.waitForFinished(120000);
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(u'\n')) {
        const QStringList fields = line.split(u' ');
        if (fields.size() == 5 && fields[0] == QLatin1String(kResultMark))
            return Start {fields[1].toDouble(), fields[2].toDouble(), fields[3].toLong(), fields[4].toDouble()};
    }
    return std::nullopt;
}

// The median of each figure over the starts.
Start medianOf(const QList<Start>& starts)
{
    QList<double> times;
    QList<double> rowTimes;
    QList<long> memory;
    QList<double> keystrokes;
    for (const Start& start : starts) {
        times << start.milliseconds;
        rowTimes << start.rowsMilliseconds;
        memory << start.kib;
        keystrokes << start.keystrokeMilliseconds;
    }
    return {BenchData::median(times), BenchData::median(rowTimes), BenchData::median(memory),
        BenchData::median(keystrokes)};
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && (qstrcmp(argv[1], "--start") == 0 || qstrcmp(argv[1], "--start-rows") == 0))
        return start(argc, argv, QString::fromLocal8Bit(argv[2]), qstrcmp(argv[1], "--start-rows") == 0);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication application(argc, argv);
    const QTemporaryDir empty;
    const QTemporaryDir large;
    const QTemporaryDir unsnapshotted;
    const QTemporaryDir twoAccounts;
    writeCaches(large.path());
    writeCaches(twoAccounts.path(), true);
    const QString fileName = QStringLiteral("/tidewhelk.ini");
    QFile::copy(large.path() + fileName, unsnapshotted.path() + fileName);
    const QString snapshot = PreferenceSnapshot::pathFor(unsnapshotted.path() + fileName);
    const QString program = QCoreApplication::applicationFilePath();
    // Alternately, so that whatever else the machine does weighs on both alike.
    QList<Start> emptyStarts;
    QList<Start> largeStarts;
    QList<Start> unsnapshottedStarts;
    QList<Start> twoAccountStarts;
    for (int run = 0; run < kRuns; ++run) {
        // Each start writes the snapshot it did not find.
        QFile::remove(snapshot);
        const std::optional<Start> emptyRun = startOnce(program, empty.path(), false);
        const std::optional<Start> largeRun = startOnce(program, large.path(), true);
        const std::optional<Start> unsnapshottedRun = startOnce(program, unsnapshotted.path(), true);
        const std::optional<Start> twoAccountsRun = startOnce(program, twoAccounts.path(), true);
        if (!emptyRun || !largeRun || !unsnapshottedRun || !twoAccountsRun) {
            std::printf("a start failed\n");
            return 1;
        }
        emptyStarts << *emptyRun;
        largeStarts << *largeRun;
        unsnapshottedStarts << *unsnapshottedRun;
        twoAccountStarts << *twoAccountsRun;
    }
    const Start emptyStart = medianOf(emptyStarts);
    const Start largeStart = medianOf(largeStarts);
    const Start unsnapshottedStart = medianOf(unsnapshottedStarts);
    const Start twoAccountStart = medianOf(twoAccountStarts);
    const double twoAccountsRatio = twoAccountStart.milliseconds / emptyStart.milliseconds;
    const double rowsRatio = largeStart.rowsMilliseconds / emptyStart.milliseconds;
    const double ratio = largeStart.milliseconds / emptyStart.milliseconds;
    const long extra = largeStart.kib - emptyStart.kib;
    std::printf("window start-up to first paint (median of %d starts each)\n", kRuns);
    std::printf("  empty caches:                      %7.1f ms, peak resident %6ld KiB\n", emptyStart.milliseconds,
        emptyStart.kib);
    std::printf("  10,000 threads, 2,000 assignments: %7.1f ms, peak resident %6ld KiB\n", largeStart.milliseconds,
        largeStart.kib);
    std::printf("    its cached rows on screen after %.1f ms (target <= %.0f ms)  %s\n", largeStart.rowsMilliseconds,
        kAllowedRowsMs, largeStart.rowsMilliseconds <= kAllowedRowsMs ? "ok" : "OVER");
    std::printf("    rows time ratio %.2f (target <= %.1f)  %s\n", rowsRatio, kAllowedRowsRatio,
        rowsRatio <= kAllowedRowsRatio ? "ok" : "OVER");
    std::printf("  the same without its snapshot: %7.1f ms, rows after %.1f ms, peak resident %6ld KiB\n",
        unsnapshottedStart.milliseconds, unsnapshottedStart.rowsMilliseconds, unsnapshottedStart.kib);
    std::printf(
        "  time ratio %.2f (target <= %.1f)  %s\n", ratio, kAllowedRatio, ratio <= kAllowedRatio ? "ok" : "OVER");
    std::printf("  extra memory %.1f MB (target <= %ld MB)  %s\n", extra / 1024.0, kAllowedExtraKiB / 1024,
        extra <= kAllowedExtraKiB ? "ok" : "OVER");
    std::printf("  two such accounts:                 %7.1f ms, rows after %.1f ms, peak resident %6ld KiB\n",
        twoAccountStart.milliseconds, twoAccountStart.rowsMilliseconds, twoAccountStart.kib);
    std::printf("    time ratio %.2f (target <= %.1f)  %s\n", twoAccountsRatio, kAllowedRatio,
        twoAccountsRatio <= kAllowedRatio ? "ok" : "OVER");
    std::printf("    peak memory %.1f MB (target <= %ld MB)  %s\n", twoAccountStart.kib / 1024.0,
        kAllowedTwoAccountsKiB / 1024, twoAccountStart.kib <= kAllowedTwoAccountsKiB ? "ok" : "OVER");
    std::printf("    filter keystroke over the merged rows: %.2f ms (target <= %.0f)  %s\n",
        twoAccountStart.keystrokeMilliseconds, kAllowedKeystrokeMs,
        twoAccountStart.keystrokeMilliseconds <= kAllowedKeystrokeMs ? "ok" : "OVER");
    return 0;
}

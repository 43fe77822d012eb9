// The window's start-up with a heavy user's caches (10,000 threads, 2,000 assignments)
// against the same with empty caches: time from the start of the process's work to the
// first paint of the notifications table, and peak resident memory. Each start runs in a
// process of its own. Targets: at most 1.5 times the empty start's time, and at most
// 40 MB more memory. The window paints before the caches are read; the cached rows are
// on screen at most 100 ms after the start and at most 2.5 times the empty start's
// time. The same caches without their snapshot, read from the preference file's text
// as an earlier version wrote them, are shown beside.

#include "AppEnvironment.h"
#include "BenchData.h"
#include "LargeAccount.h"
#include "TidewhelkApp.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "storage/PreferenceSnapshot.h"
#include "storage/SecureStorage.h"
#include "views/FeedTableView.h"
#include "views/MainWindow.h"

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

void writeCaches(const QString& directory)
{
    AppEnvironment services(setupIn(directory));
    PersistenceService persistence(services.environment());
    persistence.save(LargeAccount::threads(), PreferenceKeys::notificationsCacheKey);
    persistence.save(LargeAccount::issues(), PreferenceKeys::issuesCacheKey);
}

// One start in this process: prints the milliseconds to the first paint of the
// notifications table and the peak resident memory.
int start(int argc, char* argv[], const QString& directory, bool rows)
{
    QElapsedTimer timer;
    timer.start();
    QApplication application(argc, argv);
    AppEnvironment services(setupIn(directory));
    services.environment().secrets->set(
        QStringLiteral("bench-token"), QLatin1String(SecureStorage::kTokenKey), QStringLiteral("bench"));
    TidewhelkApp app(services.environment());
    const double before = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    FirstPaint firstPaint(app.window().findChild<FeedTableView*>(QStringLiteral("notificationsTable")));
    app.show();
    while ((firstPaint.painted < 0 || (rows && firstPaint.paintedRows < 0)) && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (firstPaint.painted < 0 || (rows && firstPaint.paintedRows < 0))
        return 1;
    // The application's own console lines share standard output.
    std::printf("%s %.2f %.2f %ld\n", kResultMark, before + firstPaint.painted, before + firstPaint.paintedRows,
        LargeAccount::peakResidentKiB());
    return 0;
}

struct Start
{
    double milliseconds = 0;
    double rowsMilliseconds = 0;
    long kib = 0;
};

// One start in a process of its own; none when it failed.
std::optional<Start> startOnce(const QString& program, const QString& directory, bool rows)
{
    QProcess child;
    child.start(program, {rows ? QStringLiteral("--start-rows") : QStringLiteral("--start"), directory});
    child.waitForFinished(120000);
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(u'\n')) {
        const QStringList fields = line.split(u' ');
        if (fields.size() == 4 && fields[0] == QLatin1String(kResultMark))
            return Start {fields[1].toDouble(), fields[2].toDouble(), fields[3].toLong()};
    }
    return std::nullopt;
}

// The median of each figure over the starts.
Start medianOf(const QList<Start>& starts)
{
    QList<double> times;
    QList<double> rowTimes;
    QList<long> memory;
    for (const Start& start : starts) {
        times << start.milliseconds;
        rowTimes << start.rowsMilliseconds;
        memory << start.kib;
    }
    return {BenchData::median(times), BenchData::median(rowTimes), BenchData::median(memory)};
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
    writeCaches(large.path());
    const QString fileName = QStringLiteral("/tidewhelk.ini");
    QFile::copy(large.path() + fileName, unsnapshotted.path() + fileName);
    const QString snapshot = PreferenceSnapshot::pathFor(unsnapshotted.path() + fileName);
    const QString program = QCoreApplication::applicationFilePath();
    // Alternately, so that whatever else the machine does weighs on both alike.
    QList<Start> emptyStarts;
    QList<Start> largeStarts;
    QList<Start> unsnapshottedStarts;
    for (int run = 0; run < kRuns; ++run) {
        // Each start writes the snapshot it did not find.
        QFile::remove(snapshot);
        const std::optional<Start> emptyRun = startOnce(program, empty.path(), false);
        const std::optional<Start> largeRun = startOnce(program, large.path(), true);
        const std::optional<Start> unsnapshottedRun = startOnce(program, unsnapshotted.path(), true);
        if (!emptyRun || !largeRun || !unsnapshottedRun) {
            std::printf("a start failed\n");
            return 1;
        }
        emptyStarts << *emptyRun;
        largeStarts << *largeRun;
        unsnapshottedStarts << *unsnapshottedRun;
    }
    const Start emptyStart = medianOf(emptyStarts);
    const Start largeStart = medianOf(largeStarts);
    const Start unsnapshottedStart = medianOf(unsnapshottedStarts);
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
    return 0;
}

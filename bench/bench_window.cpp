// The window's start-up with a heavy user's caches (10,000 threads, 2,000 assignments)
// against the same with empty caches: time from the start of the process's work to the
// first paint of the notifications table, and peak resident memory. Each start runs in a
// process of its own. Targets: at most 1.5 times the empty start's time, and at most
// 40 MB more memory. The window paints before the caches are read; the time until the
// cached rows are on screen is shown beside it.

#include "AppEnvironment.h"
#include "LargeAccount.h"
#include "TidewhelkApp.h"
#include "storage/PersistenceService.h"
#include "storage/PreferenceKeys.h"
#include "storage/SecureStorage.h"
#include "views/FeedTableView.h"
#include "views/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRuns = 3;
constexpr double kAllowedRatio = 1.5;
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
    qint64 painted = -1;
    qint64 paintedRows = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        if (painted < 0)
            painted = m_clock.elapsed();
        if (paintedRows < 0 && m_table->model()->rowCount() > 0)
            paintedRows = m_clock.elapsed();
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
    const qint64 before = timer.elapsed();
    FirstPaint firstPaint(app.window().findChild<FeedTableView*>(QStringLiteral("notificationsTable")));
    app.show();
    while ((firstPaint.painted < 0 || (rows && firstPaint.paintedRows < 0)) && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (firstPaint.painted < 0 || (rows && firstPaint.paintedRows < 0))
        return 1;
    // The application's own console lines share standard output.
    std::printf("%s %lld %lld %ld\n", kResultMark, static_cast<long long>(before + firstPaint.painted),
        static_cast<long long>(before + firstPaint.paintedRows), LargeAccount::peakResidentKiB());
    return 0;
}

struct Measure
{
    double milliseconds = 0;
    double rowsMilliseconds = 0;
    long kib = 0;
};

template <typename T>
T median(QList<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Measure measure(const QString& program, const QString& directory, bool rows)
{
    QList<double> times;
    QList<double> rowTimes;
    QList<long> memory;
    for (int run = 0; run < kRuns; ++run) {
        QProcess child;
        child.start(program, {rows ? QStringLiteral("--start-rows") : QStringLiteral("--start"), directory});
        child.waitForFinished(120000);
        QStringList fields;
        for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(u'\n')) {
            if (line.startsWith(QLatin1String(kResultMark)))
                fields = line.split(u' ');
        }
        if (fields.size() != 4)
            return {};
        times << fields[1].toDouble();
        rowTimes << fields[2].toDouble();
        memory << fields[3].toLong();
    }
    return {median(times), median(rowTimes), median(memory)};
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
    writeCaches(large.path());
    const QString program = QCoreApplication::applicationFilePath();
    const Measure emptyStart = measure(program, empty.path(), false);
    const Measure largeStart = measure(program, large.path(), true);
    if (emptyStart.milliseconds <= 0 || largeStart.milliseconds <= 0) {
        std::printf("a start failed\n");
        return 1;
    }
    const double ratio = largeStart.milliseconds / emptyStart.milliseconds;
    const long extra = largeStart.kib - emptyStart.kib;
    std::printf("window start-up to first paint (median of %d starts each)\n", kRuns);
    std::printf("  empty caches:                      %7.1f ms, peak resident %6ld KiB\n", emptyStart.milliseconds,
        emptyStart.kib);
    std::printf("  10,000 threads, 2,000 assignments: %7.1f ms, peak resident %6ld KiB\n", largeStart.milliseconds,
        largeStart.kib);
    std::printf("    (its cached rows on screen after %.1f ms)\n", largeStart.rowsMilliseconds);
    std::printf(
        "  time ratio %.2f (target <= %.1f)  %s\n", ratio, kAllowedRatio, ratio <= kAllowedRatio ? "ok" : "OVER");
    std::printf("  extra memory %.1f MB (target <= %ld MB)  %s\n", extra / 1024.0, kAllowedExtraKiB / 1024,
        extra <= kAllowedExtraKiB ? "ok" : "OVER");
    return 0;
}

#include "ConsoleCapture.h"
#include "VirtualScheduler.h"
#include "feeds/AutoReloadService.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// The controllers' tests check the switch's lines and the first tick; these are the
// timer's own rules.
class TestAutoReloadService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void restartingStartsAFullPeriodAndTicksRepeat();
    void stopAndDestructionPrintDisabledEvenWhenIdle();
    void longerServerIntervalsAndEarlyTicksMoveTheNextTick();
};

void TestAutoReloadService::restartingStartsAFullPeriodAndTicksRepeat()
{
    VirtualScheduler scheduler;
    ConsoleCapture console;
    AutoReloadService service(scheduler, console);
    int runs = 0;
    service.startAutoReload([&] { ++runs; });
    scheduler.advance(200s);
    service.startAutoReload([&] { ++runs; });
    scheduler.advance(299s);
    QCOMPARE(runs, 0);
    scheduler.advance(1s);
    QCOMPARE(runs, 1);
    scheduler.advance(600s);
    QCOMPARE(runs, 3);
}

void TestAutoReloadService::stopAndDestructionPrintDisabledEvenWhenIdle()
{
    VirtualScheduler scheduler;
    ConsoleCapture console;
    int runs = 0;
    {
        AutoReloadService service(scheduler, console);
        service.stopAutoReload();
        service.startAutoReload([&] { ++runs; });
        service.stopAutoReload();
        QVERIFY(!service.isRunning());
        service.startAutoReload([&] { ++runs; });
        console.clear();
    }
    QCOMPARE(console.lines(), QStringList {u">>> Auto-reload disabled"_s});
    scheduler.advance(3600s);
    QCOMPARE(runs, 0);
}

void TestAutoReloadService::longerServerIntervalsAndEarlyTicksMoveTheNextTick()
{
    VirtualScheduler scheduler;
    ConsoleCapture console;
    AutoReloadService service(scheduler, console);
    QList<qint64> ticks; // seconds after the start
    const QDateTime start = scheduler.now();
    service.startAutoReload([&] { ticks.append(start.secsTo(scheduler.now())); });

    scheduler.advance(100s);
    service.setMinimumInterval(900s);
    scheduler.advance(900s);
    QCOMPARE(ticks, (QList<qint64> {900}));
    service.setMinimumInterval(60s); // never below five minutes
    scheduler.advance(300s);
    QCOMPARE(ticks, (QList<qint64> {900, 1200}));
    scheduler.advance(100s);
    service.tickNow();
    scheduler.advance(300s);
    QCOMPARE(ticks, (QList<qint64> {900, 1200, 1400, 1700}));
    QCOMPARE(console.linesStartingWith(u"Auto-reload triggered at "_s).size(), 4);
}

QTEST_GUILESS_MAIN(TestAutoReloadService)
#include "tst_autoreloadservice.moc"

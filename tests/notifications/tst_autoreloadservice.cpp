#include "ConsoleCapture.h"
#include "VirtualScheduler.h"
#include "notifications/AutoReloadService.h"

#include <QTest>

using namespace std::chrono_literals;

class TestAutoReloadService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startPrintsDisabledThenEnabledAndTicksEveryFiveMinutes();
    void restartingStartsAFullPeriodAgain();
    void stopAndDestructionPrintDisabledEvenWhenIdle();
};

void TestAutoReloadService::startPrintsDisabledThenEnabledAndTicksEveryFiveMinutes()
{
    VirtualScheduler scheduler;
    ConsoleCapture console;
    AutoReloadService service(scheduler, console);
    int runs = 0;
    service.startAutoReload([&] {
        ++runs;
        console.print(QStringLiteral("action"));
    });
    QCOMPARE(console.take(),
        (QStringList {QStringLiteral(">>> Auto-reload disabled"), QStringLiteral(">>> Auto-reload enabled")}));
    QVERIFY(service.isRunning());

    scheduler.advance(299s);
    QCOMPARE(runs, 0);
    scheduler.advance(1s);
    QCOMPARE(console.take(),
        (QStringList {QStringLiteral("Auto-reload triggered at 2026-12-05 22:21:37 +0000"), QStringLiteral("action")}));
    scheduler.advance(600s);
    QCOMPARE(runs, 3);
}

void TestAutoReloadService::restartingStartsAFullPeriodAgain()
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
    QCOMPARE(console.lines(), QStringList {QStringLiteral(">>> Auto-reload disabled")});
    scheduler.advance(3600s);
    QCOMPARE(runs, 0);
}

QTEST_GUILESS_MAIN(TestAutoReloadService)
#include "tst_autoreloadservice.moc"

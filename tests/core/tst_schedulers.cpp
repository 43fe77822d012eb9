#include "VirtualScheduler.h"
#include "Wait.h"
#include "core/SystemScheduler.h"

#include <QObject>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// The virtual scheduler the tests run on, and the system one the application runs on.
class TestSchedulers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runsDueWorkInTimeOrder();
    void workScheduledByWorkRunsInTheSameAdvance();
    void contextDestroyedDropsWork();
    void repeatingTimerTicksEveryIntervalUntilCancelled();
    void timerCancelledFromItsOwnTickStops();
    void droppedHandleCancels();
    void systemSingleShotRunsOnceUnlessItsContextWentFirst();
    void systemClearReleasesWaitingWorkWithoutRunningIt();
};

// Work runs in time order, work due at the same moment in scheduling order, and
// "now" is the due time of the work running.
void TestSchedulers::runsDueWorkInTimeOrder()
{
    VirtualScheduler scheduler;
    QStringList order;
    const auto record = [&](const QString& name) {
        order << name + u'@' + QString::number(VirtualScheduler::defaultStart().msecsTo(scheduler.now()));
    };
    scheduler.singleShot(3000ms, nullptr, [&] { record(u"a"_s); });
    scheduler.singleShot(500ms, nullptr, [&] { record(u"b"_s); });
    scheduler.singleShot(30s, nullptr, [&] { record(u"c"_s); });
    scheduler.singleShot(3000ms, nullptr, [&] { record(u"d"_s); });

    scheduler.advance(499ms);
    QVERIFY(order.isEmpty());
    scheduler.advance(1ms);
    QCOMPARE(order, QStringList {u"b@500"_s});
    scheduler.advance(30s);
    QCOMPARE(order, (QStringList {u"b@500"_s, u"a@3000"_s, u"d@3000"_s, u"c@30000"_s}));
    QCOMPARE(scheduler.now(), VirtualScheduler::defaultStart().addMSecs(30500));
}

void TestSchedulers::workScheduledByWorkRunsInTheSameAdvance()
{
    VirtualScheduler scheduler;
    QList<qint64> times;
    scheduler.singleShot(1s, nullptr, [&] {
        times << VirtualScheduler::defaultStart().msecsTo(scheduler.now());
        scheduler.singleShot(2s, nullptr, [&] { times << VirtualScheduler::defaultStart().msecsTo(scheduler.now()); });
        scheduler.singleShot(10s, nullptr, [&] { times << -1; });
    });
    scheduler.advance(5s);
    QCOMPARE(times, (QList<qint64> {1000, 3000}));
    QCOMPARE(scheduler.pendingCount(), 1);
}

void TestSchedulers::contextDestroyedDropsWork()
{
    VirtualScheduler scheduler;
    int weak = 0;
    int strong = 0;
    {
        QObject context;
        scheduler.singleShot(1s, &context, [&] { ++weak; });
        scheduler.singleShot(1s, nullptr, [&] { ++strong; });
    }
    scheduler.advance(1s);
    QCOMPARE(weak, 0);
    QCOMPARE(strong, 1);
}

void TestSchedulers::repeatingTimerTicksEveryIntervalUntilCancelled()
{
    VirtualScheduler scheduler;
    QList<qint64> ticks;
    TimerHandle timer
        = scheduler.startRepeating(300s, [&] { ticks << VirtualScheduler::defaultStart().secsTo(scheduler.now()); });
    scheduler.advance(299s);
    QVERIFY(ticks.isEmpty());
    scheduler.advance(601s);
    QCOMPARE(ticks, (QList<qint64> {300, 600, 900}));
    QVERIFY(timer.isActive());
    timer.cancel();
    QVERIFY(!timer.isActive());
    scheduler.advance(1000s);
    QCOMPARE(ticks.size(), 3);
}

void TestSchedulers::timerCancelledFromItsOwnTickStops()
{
    VirtualScheduler scheduler;
    int ticks = 0;
    TimerHandle timer;
    timer = scheduler.startRepeating(5s, [&] {
        if (++ticks == 2)
            timer.cancel();
    });
    scheduler.advance(60s);
    QCOMPARE(ticks, 2);
}

void TestSchedulers::droppedHandleCancels()
{
    VirtualScheduler scheduler;
    int runs = 0;
    {
        TimerHandle handle = scheduler.start(1s, [&] { ++runs; });
        QVERIFY(handle.isActive());
    }
    scheduler.advance(2s);
    QCOMPARE(runs, 0);
    QCOMPARE(scheduler.pendingCount(), 0);
}

void TestSchedulers::systemSingleShotRunsOnceUnlessItsContextWentFirst()
{
    SystemScheduler scheduler;
    int withoutContext = 0;
    int withContext = 0;
    auto context = std::make_unique<QObject>();
    scheduler.singleShot(1ms, nullptr, [&] { ++withoutContext; });
    scheduler.singleShot(1ms, context.get(), [&] { ++withContext; });
    context.reset();
    QVERIFY(waitUntil([&] { return withoutContext == 1; }));
    QCoreApplication::processEvents();
    QCOMPARE(withContext, 0);
    QCOMPARE(withoutContext, 1);
}

void TestSchedulers::systemClearReleasesWaitingWorkWithoutRunningIt()
{
    SystemScheduler scheduler;
    auto held = std::make_shared<int>(0);
    const std::weak_ptr<int> watched = held;
    scheduler.singleShot(1h, nullptr, [held] { ++*held; });
    TimerHandle repeating = scheduler.startRepeating(1h, [held] { ++*held; });
    held.reset();
    QVERIFY(!watched.expired());

    scheduler.clear();
    QVERIFY(watched.expired());
    QVERIFY(!repeating.isActive());
}

QTEST_GUILESS_MAIN(TestSchedulers)
#include "tst_schedulers.moc"
